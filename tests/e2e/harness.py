"""Shared pieces of the end-to-end tests: a private X server, a throw-away user environment, the running
program, its UTF-16LE log and the X tools that poke at its windows.

Environment:
  LENTORA_BIN           the program to run (default: the CI build)
  LENTORA_TEST_DISPLAY  use this running X server instead of starting a private Xvfb
"""

import os
import re
import resource
import select
import shutil
import signal
import subprocess
import tempfile
import time

DEFAULT_BIN = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                           "build", "ci", "lentora"))
LENTORA_BIN = os.environ.get("LENTORA_BIN") or DEFAULT_BIN

# Test-runner settings the program may need to see (sanitizer runs, an existing X server's cookie).
PASS_THROUGH_ENV = ("XAUTHORITY", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")

START_TIMEOUT = 10.0
STOP_TIMEOUT = 10.0

# A run that ends by one of these crashed, whatever the test expected of it.
CRASH_SIGNALS = {signal.SIGSEGV, signal.SIGABRT, signal.SIGBUS, signal.SIGFPE, signal.SIGILL, signal.SIGSYS}


def wait_until(predicate, timeout, what, interval=0.02):
    """Polls predicate until it returns something truthy; raises TimeoutError naming what was awaited."""
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


# --- X server -------------------------------------------------------------------------------------------


class XServer:
    """A private Xvfb on a display number it picks itself (-displayfd), or an existing server."""

    def __init__(self, display, process=None):
        self.display = display
        self.process = process

    @property
    def owned(self):
        return self.process is not None

    @classmethod
    def start(cls, timeout=START_TIMEOUT):
        read_fd, write_fd = os.pipe()
        try:
            # -noreset: Xvfb would otherwise reset whenever its last client leaves.
            process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-noreset", "-nolisten", "tcp",
                 "-screen", "0", "1920x1080x24"],
                pass_fds=(write_fd,), stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            os.close(write_fd)
        number = b""
        deadline = time.monotonic() + timeout
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_fd], [], [], max(left, 0))
                if not ready:
                    process.kill()
                    process.wait()
                    raise TimeoutError("Xvfb did not report its display number")
                chunk = os.read(read_fd, 16)
                if not chunk:
                    process.wait()
                    raise RuntimeError(f"Xvfb ended with {process.returncode} before it was ready")
                number += chunk
        finally:
            os.close(read_fd)
        return cls(":" + number.decode().strip(), process)

    @classmethod
    def shared(cls):
        """The server named by LENTORA_TEST_DISPLAY, else a new private one."""
        existing = os.environ.get("LENTORA_TEST_DISPLAY")
        if existing:
            return cls(existing)
        return cls.start()

    def kill(self):
        """Kills the server outright, as a crash would; removes the lock and socket it leaves behind."""
        if not self.owned:
            raise RuntimeError("refusing to kill an X server this test did not start")
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        number = self.display.lstrip(":").split(".")[0]
        for leftover in (f"/tmp/.X{number}-lock", f"/tmp/.X11-unix/X{number}"):
            try:
                os.unlink(leftover)
            except FileNotFoundError:
                pass

    def stop(self):
        if not self.owned or self.process.poll() is not None:
            return
        self.process.terminate()
        try:
            self.process.wait(timeout=STOP_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.kill()

    def run_tool(self, *argv, timeout=10.0):
        env = dict(os.environ, DISPLAY=self.display)
        return subprocess.run(argv, env=env, capture_output=True, text=True, timeout=timeout)

    def find_windows(self, name_regex, pid=None, visible_only=True):
        """Ids of the windows whose name matches name_regex (xdotool search), of one process if pid
        is given (other programs may share the server)."""
        argv = ["xdotool", "search", "--all"]
        if visible_only:
            argv.append("--onlyvisible")
        if pid is not None:
            argv += ["--pid", str(pid)]
        argv += ["--name", name_regex]
        result = self.run_tool(*argv)
        return [int(w) for w in result.stdout.split()]

    def send_key(self, window, key):
        """Presses and releases key in window. Callers check the effect, not xdotool's result."""
        self.run_tool("xdotool", "key", "--window", str(window), key)
        # xdotool presses through XTEST when the window has the focus; if the window closes on the
        # press, xdotool fails on the release and the server keeps the key down, auto-repeating
        # into whatever gets the focus next. A release through XTEST of a key that is up does nothing.
        self.run_tool("xdotool", "keyup", key)


# --- The user's environment -----------------------------------------------------------------------------


class Sandbox:
    """A fresh HOME and XDG folders for one run of the program; removed by cleanup()."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="lentora-e2e-")
        self.home = os.path.join(self.root, "home")
        self.config_home = os.path.join(self.root, "config")
        self.state_home = os.path.join(self.root, "state")
        self.runtime_dir = os.path.join(self.root, "runtime")
        for folder in (self.home, self.config_home, self.state_home):
            os.mkdir(folder)
        os.mkdir(self.runtime_dir, 0o700)
        os.chmod(self.runtime_dir, 0o700)  # whatever the umask says

    @property
    def config_dir(self):
        return os.path.join(self.config_home, "Lentora")

    @property
    def config_path(self):
        return os.path.join(self.config_dir, "config.json")

    @property
    def logs_dir(self):
        return os.path.join(self.state_home, "Lentora", "logs")

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def env(self, display, overrides=None):
        """A clean environment for the program; an override of None removes the variable."""
        env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "DISPLAY": display,
            "HOME": self.home,
            "XDG_CONFIG_HOME": self.config_home,
            "XDG_STATE_HOME": self.state_home,
            "XDG_RUNTIME_DIR": self.runtime_dir,
            "LANG": "C.UTF-8",
        }
        for name in PASS_THROUGH_ENV:
            if name in os.environ:
                env[name] = os.environ[name]
        for name, value in (overrides or {}).items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        return env

    def write_config(self, data):
        """Puts config.json in place before a start: bytes as they are, text as UTF-8."""
        os.makedirs(self.config_dir, mode=0o700, exist_ok=True)
        if isinstance(data, str):
            data = data.encode("utf-8")
        with open(self.config_path, "wb") as f:
            f.write(data)

    def read_config(self):
        with open(self.config_path, "rb") as f:
            return f.read()

    def default_logs(self):
        """The log files in the default folder, oldest name first."""
        try:
            names = os.listdir(self.logs_dir)
        except FileNotFoundError:
            return []
        return [os.path.join(self.logs_dir, n) for n in sorted(names)]

    def clear_logs(self):
        """Removes the default logs of earlier runs: a run started in the same second as the one
        before it gets the same file name, and would be told apart from it by nothing."""
        for path in self.default_logs():
            os.unlink(path)

    def cleanup(self):
        shutil.rmtree(self.root, ignore_errors=True)


def wait_openbox(server, timeout=30):
    """Until openbox runs on the server. It drops clients that connect in its first moments, after it
    has announced itself and even after its theme is set (seen as "X connection broken" in a client
    started then, 1 start in 3), so the wait ends half a second after both."""
    wait_until(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in server.run_tool(
        "xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout, timeout, "the window manager")
    wait_until(lambda: "_OB_THEME" in server.run_tool("xprop", "-root", "_OB_THEME").stdout, timeout,
               "openbox's theme")
    time.sleep(0.5)


# --- The program ----------------------------------------------------------------------------------------


def allow_core_files():
    """In the child before exec: a crash leaves a core file (in the working folder, where the kernel's
    default pattern puts it), so the test run sees it."""
    try:
        resource.setrlimit(resource.RLIMIT_CORE, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))
    except (ValueError, OSError):
        soft, hard = resource.getrlimit(resource.RLIMIT_CORE)
        resource.setrlimit(resource.RLIMIT_CORE, (hard, hard))


def caught_signals(pid):
    """The signal numbers the process has handlers for (SigCgt in /proc), or None once it is gone."""
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("SigCgt:"):
                    mask = int(line.split()[1], 16)
                    return {n for n in range(1, 65) if mask & (1 << (n - 1))}
    except (FileNotFoundError, ProcessLookupError):
        return None
    return set()


class Lentora:
    """One run of the program in a sandbox."""

    def __init__(self, sandbox, display, args=(), env=None, binary=None, cwd=None, umask=None):
        self.sandbox = sandbox
        self.umask = umask  # the program's, when given
        self.binary = binary or LENTORA_BIN
        self.args = list(args)
        self.env = sandbox.env(display, env)
        self.cwd = cwd or sandbox.root
        self.process = None
        self.log_path = None
        self._output = None
        self._logs_before = set()

    def start(self):
        self._logs_before = set(self.sandbox.default_logs())
        self._output = tempfile.TemporaryFile(dir=self.sandbox.root)
        self.process = subprocess.Popen([self.binary, *self.args], env=self.env, cwd=self.cwd,
                                        stdin=subprocess.DEVNULL, stdout=self._output,
                                        stderr=subprocess.STDOUT, preexec_fn=self._prepare_child)
        return self

    def _prepare_child(self):
        allow_core_files()
        if self.umask is not None:
            os.umask(self.umask)

    def crash(self):
        """What shows that this run crashed (a crash signal, a core file in its folder), or None."""
        found = []
        rc = self.process.poll() if self.process is not None else None
        if rc is not None and rc < 0 and -rc in CRASH_SIGNALS:
            found.append(f"ended by {signal.Signals(-rc).name}")
        try:
            cores = [n for n in os.listdir(self.cwd) if n == "core" or n.startswith("core.")]
        except FileNotFoundError:
            cores = []
        if cores:
            found.append("left " + ", ".join(os.path.join(self.cwd, n) for n in cores))
        return "; ".join(found) or None

    def thread_names(self):
        """The names of the program's threads (15 characters at most, as the kernel keeps them)."""
        names = set()
        try:
            for task in os.listdir(f"/proc/{self.pid}/task"):
                try:
                    with open(f"/proc/{self.pid}/task/{task}/comm") as f:
                        names.add(f.read().strip())
                except (FileNotFoundError, ProcessLookupError):
                    pass
        except (FileNotFoundError, ProcessLookupError):
            pass
        return names

    def wait_threads(self, *names, timeout=START_TIMEOUT):
        """Waits until threads of these names run (each cut to 15 characters)."""
        wanted = {n[:15] for n in names}

        def running():
            self.check_alive("its threads " + ", ".join(sorted(wanted)))
            return wanted <= self.thread_names()
        wait_until(running, timeout, "the threads " + ", ".join(sorted(wanted)))

    def wait_log_quiet(self, quiet=0.5, timeout=START_TIMEOUT):
        """Waits until the log file has not grown for quiet seconds: the program finished what it was
        writing (its threads' start-up lines, say)."""
        last = [None, time.monotonic()]

        def settled():
            self.check_alive("its log to settle")
            size = os.path.getsize(self.log_path)
            now = time.monotonic()
            if size != last[0]:
                last[:] = [size, now]
                return False
            return now - last[1] >= quiet
        wait_until(settled, timeout, f"the log to stay unchanged for {quiet:.1f} s", interval=0.05)

    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process is not None and self.process.poll() is None

    def output(self):
        """What the program wrote to stdout and stderr so far."""
        if self._output is None:
            return ""
        self._output.seek(0)
        return self._output.read().decode("utf-8", "replace")

    def check_alive(self, what):
        """Raises AssertionError with the program's output if it has ended."""
        if not self.running():
            raise AssertionError(f"lentora ended with {self.process.returncode} while waiting for {what};"
                                 f" output:\n{self.output()}")

    def find_default_log(self, timeout=START_TIMEOUT):
        """Waits for the log file this run creates in the default folder (see Sandbox.clear_logs)."""
        def one_log():
            self.check_alive("its log file")
            new = [p for p in self.sandbox.default_logs() if p not in self._logs_before]
            return new[-1] if new else None
        self.log_path = wait_until(one_log, timeout, "a log file in " + self.sandbox.logs_dir)
        return self.log_path

    def wait_for_log(self, regex, timeout=START_TIMEOUT, path=None, interval=0.02):
        """Waits for a log line (the text after the tag column) matching regex; returns the match."""
        pattern = re.compile(regex)
        problem = []

        def matched():
            self.check_alive(f"a log line matching {regex!r}")
            log_path = path or self.log_path or self.find_default_log(timeout)
            try:
                lines = read_log_lines(log_path, partial=True)
            except LogFormatError as e:
                # An old file the program has not emptied yet looks the same: keep waiting.
                problem[:] = [str(e)]
                return None
            problem.clear()
            for text in log_texts(lines):
                m = pattern.search(text)
                if m:
                    return m
            return None
        try:
            return wait_until(matched, timeout, f"a log line matching {regex!r}", interval)
        except TimeoutError as e:
            raise TimeoutError(f"{e} ({problem[0]})" if problem else str(e)) from None

    def wait_handlers(self, timeout=START_TIMEOUT):
        """Waits until the program has taken over SIGTERM, SIGINT and SIGHUP; before that a signal
        would end it without its shutdown."""
        wanted = {signal.SIGTERM, signal.SIGINT, signal.SIGHUP}

        def installed():
            self.check_alive("its signal handlers")
            return wanted <= (caught_signals(self.pid) or set())
        wait_until(installed, timeout, "the signal handlers")

    def wait_ready(self, timeout=START_TIMEOUT, log_path=None):
        """Waits for the end of start-up: the empty line after the system line, and the handlers."""
        if log_path is not None:
            self.log_path = log_path
        self.wait_for_log(r"^$", timeout)
        self.wait_handlers(timeout)
        return self

    def wait_exit(self, timeout=STOP_TIMEOUT):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"lentora did not end within {timeout:.1f} s; output:\n{self.output()}")

    def stop(self, sig=signal.SIGTERM, timeout=STOP_TIMEOUT):
        """Sends sig and waits for the end; returns the exit code."""
        self.process.send_signal(sig)
        return self.wait_exit(timeout)

    def kill(self):
        """Cleanup of a run a test left behind: no shutdown, no waiting for it. Raises AssertionError
        when the run crashed, so that no test passes over a crash."""
        if self.running():
            self.process.kill()
            self.process.wait()
        crash = self.crash() if self.process is not None else None
        output = self.output() if crash else ""
        if self._output is not None:
            self._output.close()
            self._output = None
        if crash:
            raise AssertionError(f"lentora crashed: {crash}; output:\n{output}")


# --- The log --------------------------------------------------------------------------------------------

BOM = b"\xff\xfe"
FIRST_LINE = "Log file is initialized"
LINE_RE = re.compile(r"^(\d\d):(\d\d):(\d\d)\.(\d{3}) \[ (.{23,}?) \] (.*)$", re.S)


class LogFormatError(AssertionError):
    pass


def decode_log(raw, partial=False):
    """Splits a log file's bytes into lines, checking UTF-16LE with BOM and CR LF line ends.
    With partial set, an unfinished last line (the program may be writing) is left out, not an error."""
    if partial and len(raw) < len(BOM):
        return []
    if not raw.startswith(BOM):
        raise LogFormatError(f"log does not start with the UTF-16LE byte-order mark: {raw[:8]!r}")
    body = raw[len(BOM):]
    if len(body) % 2:
        if not partial:
            raise LogFormatError("log has an odd number of bytes after the byte-order mark")
        body = body[:-1]
    text = body.decode("utf-16-le", "strict")
    pieces = text.split("\r\n")
    tail = pieces.pop()
    if tail and not partial:
        raise LogFormatError(f"log does not end with CR LF: {tail[-80:]!r}")
    for line in pieces:
        if "\r" in line or "\n" in line:
            raise LogFormatError(f"a line break other than CR LF in {line!r}")
    return pieces


def read_log_lines(path, partial=False):
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except FileNotFoundError:
        if partial:
            return []
        raise
    return decode_log(raw, partial)


def parse_line(line):
    """(hour, minute, second, millisecond, tag column, text) of a written line, or None."""
    m = LINE_RE.match(line)
    if m is None:
        return None
    h, mi, s, ms, tag, text = m.groups()
    return int(h), int(mi), int(s), int(ms), tag, text


def log_texts(lines):
    """The texts of the lines after the first, without time stamp and tag."""
    out = []
    for line in lines[1:]:
        parsed = parse_line(line)
        out.append(parsed[5] if parsed else line)
    return out
