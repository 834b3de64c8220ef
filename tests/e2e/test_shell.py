"""End-to-end tests of the main window and the tray icon: the real program under a private Xvfb with
openbox as the window manager and, where the tray matters, trayer as an XEmbed tray."""

import json
import os
import re
import shutil
import signal
import subprocess
import unittest

import harness
from harness import Lentora, Sandbox, XServer, wait_until

WIDTH, HEIGHT = 1100, 650
SCREEN = (1920, 1080)
TOOLS = ("Xvfb", "openbox", "trayer", "xdotool", "xwininfo", "xprop", "wmctrl")

XSERVER = None
WM = None


def display_env():
    return dict(os.environ, DISPLAY=XSERVER.display)


def setUpModule():
    global XSERVER, WM
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if missing:
        raise unittest.SkipTest("not installed: " + ", ".join(missing) + " (scripts/install-deps)")
    # A server of its own: the window manager and trays started here must not meet other tests.
    XSERVER = XServer.start()
    WM = subprocess.Popen(["openbox", "--sm-disable"], env=display_env(), stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    harness.wait_openbox(XSERVER, harness.START_TIMEOUT)


def tearDownModule():
    if WM is not None:
        WM.terminate()
        WM.wait(timeout=10)
    if XSERVER is not None:
        XSERVER.stop()


# --- What the X server says about the program's windows ---------------------------------------------


def tool(*argv):
    return XSERVER.run_tool(*argv).stdout


def main_window(run, timeout=harness.START_TIMEOUT):
    """The id of the program's main window, mapped or not: the one window of its process whose size is
    fixed at 1100 x 650."""
    fixed = f"program specified minimum size: {WIDTH} by {HEIGHT}"

    def find():
        run.check_alive("its main window")
        for w in XSERVER.find_windows("^Lentora$", pid=run.pid, visible_only=False):
            hints = tool("xprop", "-id", str(w), "WM_NORMAL_HINTS")
            if fixed in hints and f"maximum size: {WIDTH} by {HEIGHT}" in hints:
                return w
        return None
    return wait_until(find, timeout, "the main window")


def client_rect(window):
    """(x, y, width, height) of the window's client area on the screen."""
    info = tool("xwininfo", "-id", str(window))
    value = {k: int(re.search(rf"{k}:\s+(-?\d+)", info).group(1))
             for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")}
    return (value["Absolute upper-left X"], value["Absolute upper-left Y"], value["Width"], value["Height"])


def frame_extents(window):
    """(left, right, top, bottom) of the window manager's frame; None before it has framed the window."""
    m = re.search(r"= (\d+), (\d+), (\d+), (\d+)", tool("xprop", "-id", str(window), "_NET_FRAME_EXTENTS"))
    return tuple(int(n) for n in m.groups()) if m else None


def frame_rect(window):
    """(x, y, width, height) of the window with its frame."""
    x, y, w, h = client_rect(window)
    left, right, top, bottom = frame_extents(window)
    return (x - left, y - top, w + left + right, h + top + bottom)


def wm_state(window):
    """"Normal", "Iconic" or "Withdrawn" (ICCCM WM_STATE), None while the window has none."""
    m = re.search(r"window state: (\w+)", tool("xprop", "-id", str(window), "WM_STATE"))
    return m.group(1) if m else None


def viewable(window):
    return "Map State: IsViewable" in tool("xwininfo", "-id", str(window))


def has_focus(window):
    """Whether the window has the keyboard focus (the window manager's _NET_ACTIVE_WINDOW may lag)."""
    focus = tool("xdotool", "getwindowfocus").strip()
    return focus.isdigit() and int(focus) == window


def shown_normally(window):
    return wm_state(window) == "Normal" and viewable(window) and frame_extents(window) is not None


# --- The tray ------------------------------------------------------------------------------------------


class Tray:
    """trayer, an XEmbed tray, on the test's server."""

    def __init__(self):
        self.process = subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
             "--height", "30", "--SetDockType", "true"],
            env=display_env(), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: self.panel() is not None, harness.START_TIMEOUT, "trayer's panel")

    def panel(self):
        for line in tool("xwininfo", "-root", "-tree").splitlines():
            if '("panel" "trayer")' in line:
                return int(line.split()[0], 16)
        return None

    def icons(self, pid):
        """The icon windows of a process docked in the tray."""
        panel = self.panel()
        if panel is None:
            return []
        found = []
        for line in tool("xwininfo", "-tree", "-id", str(panel)).splitlines():
            m = re.match(r'\s+(0x[0-9a-f]+) "Lentora": \("lentora" "Lentora"\)', line)
            if m:
                w = int(m.group(1), 16)
                if f"= {pid}" in tool("xprop", "-id", str(w), "_NET_WM_PID"):
                    found.append(w)
        return found

    def wait_icon(self, run, timeout=harness.START_TIMEOUT):
        return wait_until(lambda: run.check_alive("its tray icon") or self.icons(run.pid), timeout,
                          "the tray icon in trayer")[0]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)


def click(window, button, x=None, y=None):
    """Clicks a button over a window, at its middle unless x and y are given."""
    if x is None:
        _, _, w, h = client_rect(window)
        x, y = w // 2, h // 2
    XSERVER.run_tool("xdotool", "mousemove", "--window", str(window), str(x), str(y), "click", str(button))


def choose_tray_menu_item(run, icon):
    """Right-clicks the icon and clicks the one item of the menu that opens."""
    click(icon, 3)

    def popup():
        run.check_alive("the tray menu")
        argv = ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(run.pid), "--classname", "^lentora$"]
        for w in (int(n) for n in tool(*argv).split()):
            if w != icon and "Override Redirect State: yes" in tool("xwininfo", "-id", str(w)):
                return w
        return None
    menu = wait_until(popup, harness.START_TIMEOUT, "the tray menu")
    click(menu, 1)


# --- The tests -----------------------------------------------------------------------------------------


class ShellTestCase(unittest.TestCase):
    maxDiff = None

    def launch(self, config=None):
        sandbox = Sandbox()
        self.addCleanup(sandbox.cleanup)
        if config is not None:
            sandbox.write_config(json.dumps(config))
        run = Lentora(sandbox, XSERVER.display)
        run.start()
        self.addCleanup(run.kill)
        run.wait_ready()
        return run

    def relaunch(self, run):
        """A new run in the same sandbox, reading what the last one saved."""
        run.sandbox.clear_logs()
        again = Lentora(run.sandbox, XSERVER.display).start()
        self.addCleanup(again.kill)
        again.wait_ready()
        return again

    def tray(self):
        tray = Tray()
        self.addCleanup(tray.stop)
        return tray

    def assert_ended_in_order(self, run):
        """The log's last line is END, once, and config.json holds what the main window stored."""
        texts = harness.log_texts(harness.read_log_lines(run.log_path))
        self.assertEqual(texts[-1], "END", run.output())
        self.assertEqual(texts.count("END"), 1)
        return json.loads(run.sandbox.read_config())

    def stop(self, run, sig=signal.SIGTERM):
        self.assertEqual(run.stop(sig), 0, run.output())
        return self.assert_ended_in_order(run)

    def wait_exit(self, run):
        self.assertEqual(run.wait_exit(), 0, run.output())
        return self.assert_ended_in_order(run)


class MainWindowTests(ShellTestCase):

    def test_placed_sized_fixed_and_its_place_saved(self):
        cases = [
            # (name, ui.window.rect in the file or None, expected frame corner or None for the WM's choice)
            ("default: centred on the first display", None, (410, 215)),
            ("stored corner", "[100, 50, 1100, 650]", (100, 50)),
            ("stored on no display: the window manager places it", "[5000, 5000, 1100, 650]", None),
        ]
        for name, stored, corner in cases:
            with self.subTest(name):
                run = self.launch(None if stored is None else {"ui.window.rect": stored})
                window = main_window(run)
                wait_until(lambda: shown_normally(window), harness.START_TIMEOUT, "the window shown")
                x, y, w, h = frame_rect(window)
                self.assertEqual(client_rect(window)[2:], (WIDTH, HEIGHT))
                if corner is not None:
                    self.assertEqual((x, y), corner)
                else:
                    self.assertTrue(0 <= x < SCREEN[0] and 0 <= y < SCREEN[1], (x, y))
                # Neither resizable nor maximizable: the window manager offers neither and keeps the size.
                actions = tool("xprop", "-id", str(window), "_NET_WM_ALLOWED_ACTIONS")
                self.assertIn("_NET_WM_ACTION_CLOSE", actions)
                self.assertIn("_NET_WM_ACTION_MINIMIZE", actions)
                self.assertNotIn("_NET_WM_ACTION_MAXIMIZE", actions)
                self.assertNotIn("_NET_WM_ACTION_RESIZE", actions)
                XSERVER.run_tool("wmctrl", "-i", "-r", str(window), "-b", "add,maximized_vert,maximized_horz")
                XSERVER.run_tool("xdotool", "windowsize", str(window), "500", "400")
                XSERVER.run_tool("xprop", "-root")  # a round trip after the requests
                self.assertEqual(client_rect(window)[2:], (WIDTH, HEIGHT))
                self.assertEqual(frame_rect(window), (x, y, w, h))

                config = self.stop(run)
                self.assertEqual(config["ui.window.rect"], f"[{x}, {y}, {w}, {h}]")
                self.assertEqual(config["ui.window.visible"], "1")
                self.assertEqual(config["app.first_start"], "0")

    def test_moved_window_opens_where_it_was_left(self):
        run = self.launch()
        window = main_window(run)
        wait_until(lambda: shown_normally(window), harness.START_TIMEOUT, "the window shown")
        XSERVER.run_tool("wmctrl", "-i", "-r", str(window), "-e", "0,300,200,-1,-1")
        wait_until(lambda: frame_rect(window)[:2] == (300, 200), 5, "the window moved")
        _, _, w, h = frame_rect(window)
        self.assertEqual(self.stop(run)["ui.window.rect"], f"[300, 200, {w}, {h}]")

        again = self.relaunch(run)
        window = main_window(again)
        wait_until(lambda: shown_normally(window), harness.START_TIMEOUT, "the window shown again")
        self.assertEqual(frame_rect(window), (300, 200, w, h))
        self.stop(again)

    def test_start_minimized(self):
        run = self.launch({"app.start_minimized": "1"})
        window = main_window(run)
        wait_until(lambda: wm_state(window) == "Iconic", harness.START_TIMEOUT, "the window iconified")
        self.assertFalse(viewable(window))
        # Minimized is an ordinary state: the signal still ends the program in order.
        config = self.stop(run)
        self.assertRegex(config["ui.window.rect"], r"^\[-?\d+, -?\d+, \d+, \d+\]$")
        self.assertNotEqual(config["ui.window.rect"], "[0, 0, 0, 0]")

    def test_close_request(self):
        # The window manager's close: it ends the program, or minimizes the window when asked to.
        for close_minimize in ("0", "1"):
            with self.subTest(close_minimize=close_minimize):
                run = self.launch({"app.close_minimize": close_minimize})
                window = main_window(run)
                wait_until(lambda: shown_normally(window), harness.START_TIMEOUT, "the window shown")
                XSERVER.run_tool("wmctrl", "-i", "-c", str(window))
                if close_minimize == "0":
                    config = self.wait_exit(run)
                    self.assertEqual(config["app.close_minimize"], "0")
                    continue
                wait_until(lambda: wm_state(window) == "Iconic", harness.START_TIMEOUT, "the window minimized")
                self.assertTrue(run.running())
                # A second close of the minimized window changes nothing either.
                XSERVER.run_tool("wmctrl", "-i", "-c", str(window))
                XSERVER.run_tool("xprop", "-root")
                self.assertTrue(run.running())
                # The signal is an exit, not a close request: it ends the program even now.
                config = self.stop(run)
                self.assertEqual(config["app.close_minimize"], "1")
                self.assertNotEqual(config["ui.window.rect"], "[0, 0, 0, 0]")


class TrayTests(ShellTestCase):

    def test_menu_item_ends_the_program_even_when_closing_minimizes(self):
        tray = self.tray()
        run = self.launch({"app.close_minimize": "1", "ui.window.rect": "[100, 50, 1100, 650]"})
        window = main_window(run)
        wait_until(lambda: shown_normally(window), harness.START_TIMEOUT, "the window shown")
        _, _, w, h = frame_rect(window)
        choose_tray_menu_item(run, tray.wait_icon(run))
        config = self.wait_exit(run)
        self.assertEqual(config["ui.window.rect"], f"[100, 50, {w}, {h}]")
        self.assertEqual(config["app.close_minimize"], "1")

    def test_left_click_brings_the_window_back(self):
        tray = self.tray()
        run = self.launch({"app.start_minimized": "1"})
        window = main_window(run)
        icon = tray.wait_icon(run)
        wait_until(lambda: wm_state(window) == "Iconic", harness.START_TIMEOUT, "the window iconified")
        ways_away = [
            ("minimized at start", lambda: None),
            ("minimized by the user", lambda: XSERVER.run_tool("xdotool", "windowminimize", str(window))),
        ]
        for name, send_away in ways_away:
            with self.subTest(name):
                send_away()
                wait_until(lambda: wm_state(window) == "Iconic", harness.START_TIMEOUT, "the window iconified")
                click(icon, 1)
                wait_until(lambda: shown_normally(window), harness.START_TIMEOUT, "the window restored")
                wait_until(lambda: has_focus(window), harness.START_TIMEOUT, "the window focused")
        self.stop(run)

    def test_a_tray_that_starts_late_or_restarts_gets_the_icon(self):
        run = self.launch()
        window = main_window(run)
        # No tray yet: the program works without one.
        wait_until(lambda: shown_normally(window), harness.START_TIMEOUT, "the window shown")
        for attempt in ("started after the program", "restarted"):
            with self.subTest(attempt):
                tray = self.tray()
                icon = tray.wait_icon(run)
                self.assertTrue(viewable(icon))
                tray.stop()
        # The icon still works after its new docking.
        tray = self.tray()
        choose_tray_menu_item(run, tray.wait_icon(run))
        self.wait_exit(run)


if __name__ == "__main__":
    unittest.main()
