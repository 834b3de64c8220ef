"""End-to-end tests of start-up, shutdown, the log and config.json: the real program under a real X server."""

import contextlib
import json
import os
import pwd
import re
import shutil
import signal
import subprocess
import time
import unittest

import harness
from harness import Lentora, Sandbox, XServer

BUILD = "2047"

# Every saved option and its default, as a fresh config.json holds them (ui.language and
# previous_version are replaced at every start).
CATALOGUE = {
    "app.capture_visible": "0",
    "app.close_minimize": "0",
    "app.first_start": "1",
    "app.hotkey.editor": "10527323",
    "app.hotkey.editor.hold": "0",
    "app.launch_windows": "0",
    "app.start_minimized": "0",
    "previous_version": "0",
    "profile.hotkey.magnification": "674",
    "profile.hotkey.magnification.hold": "0",
    "profile.magnification.factor": "200",
    "profile.magnification.mouse_adjust": "0",
    "profile.mask.dist": "490",
    "profile.mask.outer_color": "[1.000000, 1.000000, 1.000000, 0.000000]",
    "profile.mask.trans_color": "[1.000000, 1.000000, 1.000000, 1.000000]",
    "profile.mask.transdist": "10",
    "profile.mask.type": "0",
    "profile.src.display": "",
    "profile.src.offset": "[0, 0]",
    "profile.target.display": "",
    "profile.target.offset": "[0, 0]",
    "profile.target.size": "[40000, 40000]",
    "ui.language": "",
    "ui.theme": "0",
    "ui.window.rect": "[0, 0, 0, 0]",
    "ui.window.visible": "",
}


# What the main window stores when it closes: its place (centred on the 1920 x 1080 screen, which has no
# window manager to frame it) and that it was shown; it also marks the first start done.
# What a run with the main window writes: its place, and the displays its Profile page selects (Xvfb's
# one output, when none is stored).
MAIN_WINDOW = {"app.first_start": "0", "ui.window.rect": "[410, 215, 1100, 650]", "ui.window.visible": "1",
               "profile.src.display": "screen", "profile.target.display": "screen"}


def saved_defaults(changes=None):
    """What a run that changed nothing saves, with changes applied (a value of None: key absent)."""
    out = dict(CATALOGUE, **{"previous_version": BUILD, "ui.language": "en-US"}, **MAIN_WINDOW)
    for key, value in (changes or {}).items():
        if value is None:
            out.pop(key, None)
        else:
            out[key] = value
    return out


def version_text(language_file):
    """The version line a language file yields: its CURRENT.VERSION text without the last five
    characters, with the build number put in."""
    with open(language_file, encoding="utf-8-sig") as f:
        for line in f:
            if line.startswith("CURRENT.VERSION"):
                text = line.split(None, 1)[1].rstrip("\r\n")
                return (text[:-5] if len(text) >= 5 else text).replace("%d", BUILD)
    raise AssertionError(f"no CURRENT.VERSION in {language_file}")


def system_line():
    """The "Detected Linux" line for this machine: os-release's PRETTY_NAME and the kernel release."""
    name = ""
    for path in ("/etc/os-release", "/usr/lib/os-release"):
        try:
            with open(path) as f:
                for line in f:
                    if line.startswith("PRETTY_NAME="):
                        name = line.split("=", 1)[1].strip().strip('"')
            break
        except FileNotFoundError:
            continue
    return f"Detected Linux {name} build {os.uname().release}"


def locale_available(name):
    result = subprocess.run(["locale", "-a"], capture_output=True, text=True)
    wanted = name.lower().replace("-", "")
    return any(line.strip().lower().replace("-", "") == wanted for line in result.stdout.splitlines())


def mode_of(path):
    return os.stat(path).st_mode & 0o7777


SEPARATOR_RE = re.compile(r"^\d\d:\d\d:\d\d\.\d{3} ---")

XSERVER = None


def setUpModule():
    global XSERVER
    XSERVER = XServer.shared()


def tearDownModule():
    if XSERVER is not None:
        XSERVER.stop()


class E2ETestCase(unittest.TestCase):
    maxDiff = None

    def new_sandbox(self):
        sandbox = Sandbox()
        self.addCleanup(sandbox.cleanup)
        return sandbox

    def launch(self, sandbox, args=(), env=None, binary=None, display=None, log_path=None, ready=True,
               umask=None):
        run = Lentora(sandbox, display or XSERVER.display, args=args, env=env, binary=binary, umask=umask)
        run.start()
        self.addCleanup(run.kill)
        if ready:
            run.wait_ready(log_path=log_path)
        return run

    def stop(self, run, sig=signal.SIGTERM):
        rc = run.stop(sig)
        self.assertEqual(rc, 0, f"exit code after signal {sig}; output:\n{run.output()}")

    def log_of(self, run, tag="lentora"):
        """The texts of a run's log lines, after checking every line's form."""
        lines = harness.read_log_lines(run.log_path)
        self.assertEqual(lines[0], harness.FIRST_LINE)
        texts = []
        for line in lines[1:]:
            if SEPARATOR_RE.match(line):
                continue  # a separator line has a time stamp and no tag column
            parsed = harness.parse_line(line)
            self.assertIsNotNone(parsed, f"log line without time stamp and tag column: {line!r}")
            hour, minute, second, _ms, column, text = parsed
            self.assertTrue(hour < 24 and minute < 60 and second < 60, line)
            self.assertEqual(column, tag.rjust(23), line)
            texts.append(text)
        return texts

    def assert_ended(self, texts):
        self.assertEqual(texts[-1], "END")
        self.assertEqual(texts.count("END"), 1)

    def saved_config(self, sandbox):
        """config.json as saved at shutdown, after checking its form; returns its members."""
        raw = sandbox.read_config()
        self.assertFalse(raw.startswith(b"\xef\xbb\xbf"), "config.json starts with a byte-order mark")
        text = raw.decode("utf-8")
        self.assertIsNone(re.search(r"(?<!\r)\n|\r(?!\n)", text), "a line break other than CR LF")
        pairs = json.loads(text, object_pairs_hook=lambda p: p)
        self.assertIsInstance(pairs, list, "top level is no object")
        keys = [k for k, _ in pairs]
        self.assertEqual(len(keys), len(set(keys)), "duplicate keys")
        self.assertEqual(keys, sorted(keys, key=lambda k: k.encode("utf-8")), "keys not in byte order")
        for key, value in pairs:
            self.assertIsInstance(value, str, f"{key} is not saved as a string")
        # One member a line after one tab, ": " between name and value, no line break after the brace.
        layout = "{\r\n" + ",\r\n".join(
            "\t" + json.dumps(k, ensure_ascii=False) + ": " + json.dumps(v, ensure_ascii=False)
            for k, v in pairs) + "\r\n}"
        self.assertEqual(text, layout)
        members = dict(pairs)
        self.assertNotIn("ui.languages_json", members)
        self.assertLessEqual(set(CATALOGUE), set(members), "catalogue keys missing")
        self.assertEqual(mode_of(sandbox.config_path), 0o600)
        self.assertEqual(mode_of(sandbox.config_dir), 0o700)
        return members


class StartAndStopTests(E2ETestCase):

    def test_first_start_logs_in_order_and_every_end_signal_saves(self):
        stamp_re = re.compile(r"^Lorx-log-(\d{4}-\d\d-\d\d-\d\d-\d\d-\d\d)\.txt$")
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal=sig.name):
                sandbox = self.new_sandbox()
                before = time.strftime("%Y-%m-%d-%H-%M-%S")
                run = self.launch(sandbox)
                after = time.strftime("%Y-%m-%d-%H-%M-%S")

                self.assertEqual(len(sandbox.default_logs()), 1)
                m = stamp_re.match(os.path.basename(run.log_path))
                self.assertIsNotNone(m, run.log_path)
                self.assertTrue(before <= m.group(1) <= after, f"{m.group(1)} not in [{before}, {after}]")
                self.assertEqual(mode_of(run.log_path), 0o600)
                self.assertEqual(mode_of(sandbox.logs_dir), 0o700)

                self.stop(run, sig)
                texts = self.log_of(run)
                elevated = "Yes" if os.geteuid() == 0 else "No"
                english = version_text(os.path.join(os.path.dirname(run.binary), "locale", "en-US.txt"))
                self.assertEqual(texts[:11], [
                    "Log file path: " + run.log_path,
                    "Command line : " + run.binary,
                    "App data path: " + sandbox.config_dir + "/",
                    "Cannot open file " + sandbox.config_path,
                    "Loading language files",
                    "User locale: en-US",
                    "Set locale : en-US",
                    "Elevated   : " + elevated,
                    "App version: " + english,
                    system_line(),
                    "",
                ])
                self.assertIn(BUILD, texts[8])
                self.assert_ended(texts)
                self.assertEqual(self.saved_config(sandbox), saved_defaults())

    def test_an_end_signal_right_at_the_start_still_ends_in_order(self):
        before_log = []
        for attempt in range(8):
            with self.subTest(attempt=attempt):
                sandbox = self.new_sandbox()
                run = self.launch(sandbox, ready=False)
                # As soon as the process can take it: before the log, the window or the X connection.
                harness.wait_until(lambda: run.check_alive("the handlers") or
                                   signal.SIGTERM in (harness.caught_signals(run.pid) or ()),
                                   harness.START_TIMEOUT, "the SIGTERM handler", interval=0.001)
                before_log.append(not sandbox.default_logs())
                os.kill(run.pid, signal.SIGTERM)
                self.assertEqual(run.wait_exit(), 0, run.output())
                self.assertEqual(len(sandbox.default_logs()), 1)
                run.log_path = sandbox.default_logs()[0]
                self.assert_ended(self.log_of(run))
                self.assertEqual(self.saved_config(sandbox), saved_defaults())
        # The handlers come before anything else: signals land before the log even exists.
        self.assertTrue(any(before_log), before_log)

    def test_files_and_folders_are_the_users_own_whatever_the_umask(self):
        sandbox = self.new_sandbox()
        state = os.path.join(sandbox.state_home, "Lentora")
        os.makedirs(os.path.join(state, "logs"))
        os.chmod(state, 0o777)
        os.chmod(os.path.join(state, "logs"), 0o777)
        own_log = sandbox.path("mine.txt")
        with open(own_log, "w") as f:
            f.write("old\n")
        os.chmod(own_log, 0o644)
        for args, log in (([], None), (["-logpath", own_log], own_log)):
            run = self.launch(sandbox, args=args, umask=0, log_path=log)
            self.assertEqual(mode_of(run.log_path), 0o600, run.log_path)
            self.assertEqual(mode_of(state), 0o700)
            self.assertEqual(mode_of(os.path.join(state, "logs")), 0o700)
            locks = [os.path.join(d, n) for d in (sandbox.runtime_dir,) for n in os.listdir(d) if n.endswith(".lock")]
            self.assertTrue(locks)
            for lock in locks:
                self.assertEqual(mode_of(lock), 0o600, lock)
            self.stop(run)

    def test_second_start_leaves_the_first_alone(self):
        host, _, rest = XSERVER.display.rpartition(":")
        number = rest.split(".")[0]
        # ":N" and ":N.0" name the same session display.
        other_spelling = f"{host}:{number}" if "." in rest else f"{host}:{number}.0"
        for name, display in (("same display", XSERVER.display), ("other spelling", other_spelling)):
            with self.subTest(name, display=display):
                sandbox = self.new_sandbox()
                sandbox.write_config(json.dumps({"app.close_minimize": "1"}))
                first = self.launch(sandbox)
                # The first instance's threads write their own start-up lines after the main part:
                # compare from the moment they are done.
                first.wait_for_log(r"^\(render\)OpenGL ")
                first.wait_log_quiet()
                logs = sandbox.default_logs()
                with open(first.log_path, "rb") as f:
                    log_before = f.read()
                config_before = sandbox.read_config()

                second = Lentora(sandbox, display).start()
                self.addCleanup(second.kill)
                self.assertEqual(second.wait_exit(timeout=5), 0, second.output())

                # The same second gives the same default name, so the old log's bytes are compared too.
                self.assertEqual(sandbox.default_logs(), logs)
                with open(first.log_path, "rb") as f:
                    self.assertEqual(f.read(), log_before)
                self.assertEqual(sandbox.read_config(), config_before)

                self.assertTrue(first.running())
                self.stop(first)
                self.assert_ended(self.log_of(first))
                self.assertEqual(self.saved_config(sandbox), saved_defaults({"app.close_minimize": "1"}))

    def test_crashed_instance_does_not_block_the_next_start(self):
        sandbox = self.new_sandbox()
        crashed = self.launch(sandbox)
        crashed.process.kill()
        crashed.wait_exit()

        sandbox.clear_logs()
        run = self.launch(sandbox)
        self.stop(run)
        self.assert_ended(self.log_of(run))
        self.assertEqual(self.saved_config(sandbox), saved_defaults())

    def test_relative_or_empty_xdg_folders_are_ignored(self):
        for value in ("relative/folder", ""):
            with self.subTest(value=value):
                sandbox = self.new_sandbox()
                # Where the program should go instead: the defaults below HOME.
                sandbox.config_home = os.path.join(sandbox.home, ".config")
                sandbox.state_home = os.path.join(sandbox.home, ".local", "state")
                run = self.launch(sandbox, env={"XDG_CONFIG_HOME": value, "XDG_STATE_HOME": value})
                self.stop(run)
                self.assertIn("App data path: " + sandbox.config_dir + "/", self.log_of(run))
                self.assertEqual(self.saved_config(sandbox), saved_defaults())
                self.assertFalse(os.path.exists(sandbox.path("relative")))

    def test_x_server_dying_still_saves_and_ends_the_log(self):
        def first_line(run, server):
            run.find_default_log()
            harness.wait_until(lambda: run.check_alive("its first line") or
                               harness.read_log_lines(run.log_path, partial=True), harness.START_TIMEOUT,
                               "the first log line", interval=0.002)

        def opengl_start(delay):
            def moment(run, server):
                # The render thread has its context and goes on with its shaders and targets: the
                # moment lasts a few milliseconds.
                run.find_default_log()
                run.wait_for_log(r"^\(render\)OpenGL ", interval=0.001)
                time.sleep(delay)
            moment.__name__ = f"opengl_start+{delay * 1000:.0f}ms"
            return moment

        def main_window(run, server):
            run.find_default_log()
            harness.wait_until(lambda: run.check_alive("the main window") or
                               server.find_windows("^Lentora$", pid=run.pid), harness.START_TIMEOUT,
                               "the main window")

        # The options the main window changes at start are in place once it is up; the exit handler
        # saves without the main window's closed handler, so its place is not stored.
        unplaced = {"ui.window.rect": CATALOGUE["ui.window.rect"], "ui.window.visible": CATALOGUE["ui.window.visible"]}
        moments = [(first_line, None)] + [(opengl_start(d), unplaced) for d in (0, 0, 0.001, 0.003)]
        for moment, expected in moments + [(main_window, unplaced)]:
            with self.subTest(moment.__name__):
                try:
                    server = XServer.start()
                except FileNotFoundError:
                    self.skipTest("Xvfb is not installed")
                self.addCleanup(server.stop)
                sandbox = self.new_sandbox()
                sandbox.write_config(json.dumps({"ui.theme": "3"}))
                run = self.launch(sandbox, display=server.display, ready=False)
                moment(run, server)

                server.kill()
                run.wait_exit()
                self.assertIsNone(run.crash())
                self.assert_ended(self.log_of(run))
                saved = self.saved_config(sandbox)
                self.assertEqual(saved["ui.theme"], "3")
                if expected is not None:
                    # The main window selects the Profile page's displays and ends the first start after
                    # the render thread has started: the loss may come before or after.
                    late = {"profile.src.display": ("", "screen"), "profile.target.display": ("", "screen"),
                            "app.first_start": ("1", "0")}
                    for key, values in late.items():
                        self.assertIn(saved.pop(key), values)
                    wanted = saved_defaults(dict(expected, **{"ui.theme": "3"}))
                    for key in late:
                        wanted.pop(key)
                    self.assertEqual(saved, wanted)

    def test_unwritable_state_folder_shows_a_message_and_keeps_running(self):
        sandbox = self.new_sandbox()
        blocker = sandbox.path("not-a-folder")
        with open(blocker, "w") as f:
            f.write("a file where the state folder's parent should be\n")
        run = self.launch(sandbox, env={"XDG_STATE_HOME": os.path.join(blocker, "state")}, ready=False)

        boxes = harness.wait_until(
            lambda: run.check_alive("the message box") or XSERVER.find_windows("^Lentora$", pid=run.pid),
            harness.START_TIMEOUT, "a message box titled Lentora")
        self.assertEqual(len(boxes), 1)
        XSERVER.send_key(boxes[0], "Return")
        # The main window, titled Lentora too, comes once the box has gone.
        harness.wait_until(lambda: boxes[0] not in XSERVER.find_windows("^Lentora$", pid=run.pid), 5,
                           "the message box to close")

        run.wait_handlers()
        self.assertTrue(run.running())
        self.stop(run)
        self.assertEqual(self.saved_config(sandbox), saved_defaults())


class ConfigFileTests(E2ETestCase):

    def run_once(self, sandbox, env=None):
        sandbox.clear_logs()
        run = self.launch(sandbox, env=env)
        self.stop(run)
        return run, self.log_of(run)

    def test_unreadable_file_is_kept_aside_and_replaced(self):
        valid = json.dumps(dict(CATALOGUE, **{"app.close_minimize": "1", "ui.theme": "5"}), indent="\t")
        noise = bytes((i * 167 + 13) % 256 for i in range(512))
        cases = [
            # (name, file bytes, what the fresh file holds)
            ("truncated", valid[:len(valid) // 2].encode(), saved_defaults()),
            ("empty", b"", saved_defaults()),
            ("top-level array", b'["app.close_minimize", "1"]', saved_defaults()),
            ("binary bytes", noise, saved_defaults()),
            # The member that cannot be read is skipped; the members around it are taken.
            ("number for a registered key",
             json.dumps({"aaa.before": "kept", "app.close_minimize": "1", "profile.magnification.factor": 300,
                         "profile.mask.dist": "123", "zzz.after": "kept too"}).encode(),
             saved_defaults({"aaa.before": "kept", "app.close_minimize": "1", "profile.mask.dist": "123",
                             "zzz.after": "kept too"})),
        ]
        stamp_re = re.compile(r"^config\.json\.corrupt-(\d{8}T\d{6}Z)$")
        for name, data, expected in cases:
            with self.subTest(name):
                sandbox = self.new_sandbox()
                sandbox.write_config(data)
                before = time.strftime("%Y%m%dT%H%M%SZ", time.gmtime())
                run, texts = self.run_once(sandbox)
                after = time.strftime("%Y%m%dT%H%M%SZ", time.gmtime())

                self.assertIn("Cannot read file " + sandbox.config_path, texts)
                self.assertNotIn("Cannot open file " + sandbox.config_path, texts)
                self.assert_ended(texts)
                names = sorted(os.listdir(sandbox.config_dir))
                self.assertEqual(len(names), 2, names)
                self.assertEqual(names[0], "config.json")
                m = stamp_re.match(names[1])
                self.assertIsNotNone(m, names)
                self.assertTrue(before <= m.group(1) <= after, f"{m.group(1)} not in [{before}, {after}]")
                with open(os.path.join(sandbox.config_dir, names[1]), "rb") as f:
                    self.assertEqual(f.read(), data)
                self.assertEqual(self.saved_config(sandbox), expected)

    def test_one_wrongly_typed_member_keeps_every_other_customised_value(self):
        custom = {"app.close_minimize": "1", "x.three": "d", "profile.hotkey.magnification": "116",
                  "profile.hotkey.magnification.hold": "1", "profile.magnification.mouse_adjust": "0",
                  "profile.mask.dist": "0.3", "profile.mask.outer_color": "[1.000000, 0.000000, 0.000000, 1.000000]",
                  "profile.mask.trans_color": "[0.000000, 1.000000, 0.000000, 1.000000]",
                  "profile.mask.transdist": "0.05", "profile.mask.type": "2", "profile.src.offset": "[10, 20]",
                  "profile.target.offset": "[-1000, 2000]", "profile.target.size": "[30000, 30000]",
                  "ui.theme": "2", "x.one": "a", "x.two": "b", "zz.last": "c"}
        self.assertEqual(len(custom), 17)
        sandbox = self.new_sandbox()
        sandbox.write_config(json.dumps(dict(custom, **{"profile.magnification.factor": 300})))
        _, texts = self.run_once(sandbox)
        self.assertIn("Cannot read option profile.magnification.factor", texts)
        self.assertEqual(self.saved_config(sandbox), saved_defaults(custom))

    def test_bad_starts_in_one_second_keep_every_copy(self):
        sandbox = self.new_sandbox()
        bad = [b"{\"first\": ", b"{\"second\": "]
        for data in bad:
            sandbox.write_config(data)
            self.run_once(sandbox)
        kept = {}
        for name in os.listdir(sandbox.config_dir):
            if name.startswith("config.json.corrupt-"):
                with open(os.path.join(sandbox.config_dir, name), "rb") as f:
                    kept[name] = f.read()
        self.assertEqual(sorted(kept.values()), sorted(bad), kept)

    def test_special_files_at_the_config_path_start_with_defaults(self):
        cases = [("FIFO", lambda p: os.mkfifo(p, 0o600)), ("endless device", lambda p: os.symlink("/dev/zero", p))]
        for name, make in cases:
            with self.subTest(name):
                sandbox = self.new_sandbox()
                os.makedirs(sandbox.config_dir, exist_ok=True)
                make(sandbox.config_path)
                run, texts = self.run_once(sandbox)  # ready within the start time-out, never stuck
                self.assertIn("Cannot open file " + sandbox.config_path, texts)
                self.assertEqual(self.saved_config(sandbox), saved_defaults())
                kept = [n for n in os.listdir(sandbox.config_dir) if n.startswith("config.json.corrupt-")]
                self.assertEqual(len(kept), 1)

    def test_a_linked_config_stays_a_link_and_left_temporaries_go(self):
        sandbox = self.new_sandbox()
        os.makedirs(sandbox.config_dir, exist_ok=True)
        dotfiles = sandbox.path("dotfiles")
        os.mkdir(dotfiles)
        target = os.path.join(dotfiles, "lentora.json")
        with open(target, "w") as f:
            json.dump({"ui.theme": "3"}, f)
        os.symlink(target, sandbox.config_path)
        left = os.path.join(dotfiles, "lentora.json.Ab12Cd")
        with open(left, "w") as f:
            f.write("a save killed half-way")
        self.run_once(sandbox)
        self.assertTrue(os.path.islink(sandbox.config_path))
        self.assertEqual(os.readlink(sandbox.config_path), target)
        self.assertEqual(self.saved_config(sandbox), saved_defaults({"ui.theme": "3"}))
        self.assertFalse(os.path.exists(left))
        self.assertEqual(sorted(os.listdir(dotfiles)), ["lentora.json"])

    def test_members_round_trip(self):
        sandbox = self.new_sandbox()
        source = (
            '\ufeff{\n'  # a byte-order mark, as some editors write it
            '  "app.close_minimize": "1",\n'
            '  "previous_version": "2046",\n'
            '  "x.device": "\\\\\\\\.\\\\DISPLAY2",\n'
            '  "profile.target.display": "HDMI-1",\n'
            '  "ui.theme": "7",\n'
            '  "UI.Theme": "a separate option",\n'
            '  "x.number": 3,\n'
            '  "x.float": 0.5,\n'
            '  "x.true": true,\n'
            '  "x.null": null,\n'
            '  "x.object": {"a": "b"},\n'
            '  "x.pair": [1, -2],\n'
            '  "x.color": [0.5, 0.25, 1, 0],\n'
            '  "x.three": [1, 2, 3],\n'
            '  "x.text": "Gr\u00fc\u00dfe \u2713",\n'
            '  "ui.languages_json": "a stale list is never saved"\n'
            '}\n')
        self.assertEqual(json.loads(source[1:])["x.device"], "\\\\.\\DISPLAY2")
        sandbox.write_config(source)
        _, texts = self.run_once(sandbox)

        self.assertNotIn("Cannot read file " + sandbox.config_path, texts)
        saved = sandbox.read_config()
        self.assertIn(b'"x.device": "\\\\\\\\.\\\\DISPLAY2"', saved)
        self.assertIn("\"x.text\": \"Gr\u00fc\u00dfe \u2713\"".encode("utf-8"), saved)
        expected = saved_defaults({
            # A stored display that is not there: the Profile page takes the first listed.
            "app.close_minimize": "1", "x.device": "\\\\.\\DISPLAY2",
            "profile.target.display": "screen", "ui.theme": "7", "UI.Theme": "a separate option",
            "x.number": "3.00000", "x.float": "0.50000", "x.pair": "[1, -2]",
            "x.color": "[0.500000, 0.250000, 1.000000, 0.000000]", "x.text": "Gr\u00fc\u00dfe \u2713"})
        self.assertEqual(self.saved_config(sandbox), expected)
        self.assertEqual(os.listdir(sandbox.config_dir), ["config.json"])

        # What the program wrote it reads back and writes again unchanged.
        self.run_once(sandbox)
        self.assertEqual(sandbox.read_config(), saved)

    def test_save_failure_is_logged_and_the_end_still_comes(self):
        sandbox = self.new_sandbox()
        run = self.launch(sandbox)
        # Root passes every permission check, so the folder is taken away instead.
        shutil.rmtree(sandbox.config_dir)
        with open(sandbox.config_dir, "w") as f:
            f.write("a file where the folder was\n")
        self.stop(run)
        texts = self.log_of(run)
        self.assert_ended(texts)
        self.assertIn("Cannot open file " + sandbox.config_path, texts[texts.index("") + 1:])

    def test_numbers_keep_dots_under_a_comma_locale(self):
        if not locale_available("de_DE.UTF-8"):
            self.skipTest("de_DE.UTF-8 is not generated (scripts/install-deps does it)")
        for env in ({"LANG": "de_DE.UTF-8"}, {"LC_ALL": "de_DE.UTF-8"}):
            with self.subTest(env=env):
                sandbox = self.new_sandbox()
                # Values formatted after start-up, when the user's locale is in force.
                sandbox.write_config(json.dumps({"x.float": 0.5, "x.color": [0.5, 0.25, 1, 0]}))
                _, texts = self.run_once(sandbox, env=env)
                self.assertIn("Set locale : de-DE", texts)
                self.assertEqual(self.saved_config(sandbox), saved_defaults({
                    "ui.language": "de-DE", "x.float": "0.50000",
                    "x.color": "[0.500000, 0.250000, 1.000000, 0.000000]"}))


class LogPathTests(E2ETestCase):

    def test_logpath_argument(self):
        def make_folder(s):
            os.mkdir(s.path("here"))

        def make_documents(s):
            os.mkdir(os.path.join(s.home, "My Docs"))
            with open(os.path.join(s.config_home, "user-dirs.dirs"), "w") as f:
                f.write('XDG_DOCUMENTS_DIR="$HOME/My Docs"\n')

        def make_old_file(s):
            with open(s.path("my l\u00f6g \U0001F600.txt"), "w") as f:
                f.write("an old file that a start empties\n")

        # log: the expected file, None for the default place; absent: paths the run must not create.
        cases = [
            dict(name="existing folder", args=lambda s: ["-logpath", s.path("here")],
                 log=lambda s: s.path("here", "Lentora.txt"), setup=make_folder),
            dict(name="new folder with slash", args=lambda s: ["-logpath", s.path("new") + "/"],
                 log=lambda s: s.path("new", "Lentora.txt"), new_folder=True),
            # Also a name beyond the Basic Multilingual Plane: a surrogate pair in the log.
            dict(name="file", args=lambda s: ["-logpath", s.path("my l\u00f6g \U0001F600.txt")],
                 log=lambda s: s.path("my l\u00f6g \U0001F600.txt"), setup=make_old_file),
            dict(name="documents", args=lambda s: ["-logpath", "mydocs"],
                 log=lambda s: os.path.join(s.home, "My Docs", "Lentora.txt"), setup=make_documents,
                 needs="xdg-user-dir"),
            dict(name="last argument", args=lambda s: ["-logpath"]),
            dict(name="later one counts",
                 args=lambda s: ["-logpath", s.path("first.txt"), "-logpath", s.path("second.txt")],
                 log=lambda s: s.path("second.txt"), absent=lambda s: [s.path("first.txt")]),
            dict(name="a value is examined too", args=lambda s: ["-logpath", "-logpath", s.path("third.txt")],
                 log=lambda s: s.path("third.txt")),
            dict(name="case-sensitive", args=lambda s: ["-LOGPATH", s.path("upper.txt")],
                 absent=lambda s: [s.path("upper.txt")]),
        ]
        for case in cases:
            with self.subTest(case["name"]):
                if "needs" in case and shutil.which(case["needs"]) is None:
                    self.skipTest(case["needs"] + " is not installed")
                sandbox = self.new_sandbox()
                if "setup" in case:
                    case["setup"](sandbox)
                expected = case["log"](sandbox) if "log" in case else None
                run = self.launch(sandbox, args=case["args"](sandbox), log_path=expected)
                if expected is None:
                    self.assertEqual(len(sandbox.default_logs()), 1)
                else:
                    self.assertEqual(sandbox.default_logs(), [])
                if case.get("new_folder"):
                    self.assertEqual(mode_of(os.path.dirname(expected)), 0o700)
                self.stop(run)
                texts = self.log_of(run)
                self.assertEqual(texts[0], "Log file path: " + run.log_path)
                self.assert_ended(texts)
                for path in case.get("absent", lambda s: [])(sandbox):
                    self.assertFalse(os.path.exists(path), path)


    def test_a_log_that_cannot_be_written_goes_to_the_usual_place(self):
        def nowhere_documents(s):
            with open(os.path.join(s.config_home, "user-dirs.dirs"), "w") as f:
                f.write('XDG_DOCUMENTS_DIR="$HOME/Nowhere"\n')

        cases = [
            ("file in a missing folder", lambda s: s.path("missing", "x.txt"), None),
            ("name too long", lambda s: s.path("n" * 300 + ".txt"), None),
            ("documents that do not exist", lambda s: "mydocs", nowhere_documents),
        ]
        for name, value, setup in cases:
            with self.subTest(name):
                if setup is not None and shutil.which("xdg-user-dir") is None:
                    self.skipTest("xdg-user-dir is not installed")
                sandbox = self.new_sandbox()
                if setup is not None:
                    setup(sandbox)
                run = self.launch(sandbox, args=["-logpath", value(sandbox)])
                self.assertEqual(len(sandbox.default_logs()), 1)
                self.stop(run)
                texts = self.log_of(run)
                self.assertTrue(texts[0].lstrip().startswith("[ERROR] Cannot write the log to "), texts[0])
                self.assertEqual(texts[1], "Log file path: " + run.log_path)
                self.assert_ended(texts)


    def test_an_end_signal_during_the_log_folder_box_ends_in_order(self):
        sandbox = self.new_sandbox()
        folder = sandbox.path("missing", "sub") + "/"
        run = self.launch(sandbox, args=["-logpath", folder], ready=False)
        harness.wait_until(
            lambda: run.check_alive("the message box") or XSERVER.find_windows("^Lentora$", pid=run.pid),
            harness.START_TIMEOUT, "the box saying the folder cannot be made")
        run.process.send_signal(signal.SIGTERM)
        self.assertEqual(run.wait_exit(), 0, run.output())
        self.assertEqual(len(sandbox.default_logs()), 1)
        run.log_path = sandbox.default_logs()[0]
        texts = self.log_of(run)
        self.assertTrue(texts[0].lstrip().startswith("[ERROR] Cannot write the log to " + folder), texts[0])
        self.assert_ended(texts)


class LanguageTests(E2ETestCase):

    @classmethod
    def setUpClass(cls):
        # The shipped German and English version texts are the same; a copy of the program gets a
        # German text of its own, so the line shows which file was used.
        cls.tree = Sandbox()
        cls.binary = cls.tree.path("lentora")
        shutil.copy2(harness.LENTORA_BIN, cls.binary)
        locale = os.path.join(os.path.dirname(harness.LENTORA_BIN), "locale")
        shutil.copytree(locale, cls.tree.path("locale"))
        german = cls.tree.path("locale", "de-DE.txt")
        with open(german, encoding="utf-8") as f:
            text = f.read()
        text, n = re.subn(r"(?m)^CURRENT\.VERSION .*$", "CURRENT.VERSION Fassung 1.0.%d (Probe) beta", text)
        assert n == 1, "the German file has no CURRENT.VERSION line"
        with open(german, "w", encoding="utf-8") as f:
            f.write(text)

    @classmethod
    def tearDownClass(cls):
        cls.tree.cleanup()

    def test_language_choice(self):
        cases = [
            # (name, ui.language in the file or None, environment, loaded and saved, user locale, file)
            ("from the file, any case", "de-de", {}, "de-de", "en-US", "de-DE"),
            ("user default from LANG", "", {"LANG": "ru_RU.UTF-8"}, "ru-RU", "ru-RU", "ru-RU"),
            ("user default from LANGUAGE", "", {"LANGUAGE": "ru_RU"}, "ru-RU", "ru-RU", "ru-RU"),
            ("no such file", "fr-FR", {"LANG": "ru_RU.UTF-8"}, "en-US", "ru-RU", "en-US"),
        ]
        for name, language, env, loaded, user, file in cases:
            with self.subTest(name):
                sandbox = self.new_sandbox()
                if language is not None:
                    sandbox.write_config(json.dumps({"ui.language": language}))
                run = self.launch(sandbox, env=env, binary=self.binary)
                self.stop(run)
                texts = self.log_of(run)
                self.assertIn("User locale: " + user, texts)
                self.assertIn("Set locale : " + loaded, texts)
                self.assertIn("App version: " + version_text(self.tree.path("locale", file + ".txt")), texts)
                self.assertEqual(self.saved_config(sandbox)["ui.language"], loaded)

    def test_missing_locale_folder(self):
        sandbox = self.new_sandbox()
        # The program alone, with no locale folder beside it or in ../share/lentora; a long name to
        # see the tag column cut it.
        os.mkdir(sandbox.path("bin"))
        binary = sandbox.path("bin", "Lentora-Without-Locale")
        shutil.copy2(harness.LENTORA_BIN, binary)
        sandbox.write_config(json.dumps({"ui.language": "de-DE"}))
        run = self.launch(sandbox, binary=binary)
        self.stop(run)
        texts = self.log_of(run, tag="lentora-without-local...")
        self.assertIn("Set locale : en-US", texts)
        # Without any text the id itself stands in, cut like every version text.
        self.assertIn("App version: " + "CURRENT.VERSION"[:-5], texts)
        self.assert_ended(texts)
        self.assertEqual(self.saved_config(sandbox), saved_defaults())


class LogonEntryTests(E2ETestCase):

    ENTRY = "[Desktop Entry]\nType=Application\nName=Lentora\nExec=lentora\n"

    @staticmethod
    def entry_paths(sandbox):
        """(the entry the program looks for, the entry of the other kind or None) for this user."""
        user = os.path.join(sandbox.config_home, "autostart",
                            "Lentora_" + pwd.getpwuid(os.getuid()).pw_name + ".desktop")
        if os.geteuid() == 0:
            return "/etc/xdg/autostart/Lentora.desktop", user
        return user, None

    @contextlib.contextmanager
    def entry(self, path, present):
        """Puts an entry at path, or takes one away, for the length of the block; the folders it
        created and any entry that was there before are put back as they were."""
        created = []
        folder = os.path.dirname(path)
        while not os.path.isdir(folder):
            created.insert(0, folder)
            folder = os.path.dirname(folder)
        backup = None
        if os.path.exists(path):
            with open(path, "rb") as f:
                backup = f.read()
        try:
            if present:
                for d in created:
                    os.mkdir(d, 0o755)
                with open(path, "w") as f:
                    f.write(self.ENTRY)
            elif backup is not None:
                os.unlink(path)
            yield
        finally:
            if os.path.exists(path):
                os.unlink(path)
            if backup is not None:
                with open(path, "wb") as f:
                    f.write(backup)
            for d in reversed(created):
                if os.path.isdir(d):
                    os.rmdir(d)

    def test_entry_decides_launch_option(self):
        cases = [
            # (name, value in the file, entry where the program looks, entry in the other place)
            ("entry present", "0", True, False),
            ("entry absent", "1", False, False),
        ]
        if os.geteuid() == 0:
            cases.append(("entry only in the user's folder", "1", False, True))
        for name, in_file, present, elsewhere in cases:
            with self.subTest(name):
                sandbox = self.new_sandbox()
                mine, other = self.entry_paths(sandbox)
                sandbox.write_config(json.dumps({"app.launch_windows": in_file}))
                with contextlib.ExitStack() as stack:
                    stack.enter_context(self.entry(mine, present))
                    if elsewhere:
                        stack.enter_context(self.entry(other, True))
                    run = self.launch(sandbox)
                    self.stop(run)
                    self.assertEqual(os.path.exists(mine), present, "the program changed the entry")
                    if present:
                        with open(mine) as f:
                            self.assertEqual(f.read(), self.ENTRY)
                self.assertEqual(self.saved_config(sandbox)["app.launch_windows"], "1" if present else "0")


if __name__ == "__main__":
    unittest.main()
