"""The view over a full-screen game, as a player meets it: a game stand-in that has the focus (managed
full screen, or override-redirect), under each of the common window managers and a compositing manager;
the hotkeys pressed through XTest; the screen read back."""

import ctypes
import ctypes.util
import json
import os
import queue
import shutil
import subprocess
import threading
import time
import unittest

import harness
from test_live_view import Screen, VIEW, near, pattern_at, source_rect

STANDIN = os.environ.get("LENTORA_STANDIN") or os.path.join(
    os.path.dirname(harness.LENTORA_BIN), "tests", "lentora_game_standin")

# (name, the programs of the desktop): window managers, and openbox with a compositing manager.
DESKTOPS = [
    ("openbox", [["openbox", "--sm-disable"]]),
    # xfwm4 reads its settings over D-Bus.
    ("xfwm4", [["dbus-run-session", "--", "xfwm4", "--compositor=off"]]),
    ("metacity", [["metacity"]]),
    ("kwin_x11", [["kwin_x11"]]),
    ("openbox with picom", [["openbox", "--sm-disable"], ["picom", "--backend", "xrender"]]),
    ("no window manager", []),
]

BLOCK = (936, 516, 984, 564)  # the stand-in's flipping block, in the middle of the source rectangle
COLOURS = {"green": (0, 255, 0), "magenta": (255, 0, 255)}
# A point of the block near its corner: enlarged, it shows where the game's own block is not, so the
# view and the game cannot be mistaken for each other there.
BLOCK_POINT = (940, 520)
# The frame the view draws around itself in editor mode: border 6, caption strip and border 30.
FRAME_LEFT, FRAME_TOP = 6, 30
FRAME_COLOUR = (48, 48, 52)


def probe_for(client, src, point=BLOCK_POINT):
    """Where a point of the source shows on the screen in a view of that client area and source."""
    w, h = client[2] - client[0], client[3] - client[1]
    return (client[0] + int((point[0] + 0.5 - src[0]) * w / (src[2] - src[0])),
            client[1] + int((point[1] + 0.5 - src[1]) * h / (src[3] - src[1])))


PROBE = probe_for(VIEW, source_rect(200))


class XLib:
    """The few Xlib calls the tests need that no command-line tool offers."""

    def __init__(self):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XInternAtom.restype = ctypes.c_ulong
        self.lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.lib.XGetSelectionOwner.restype = ctypes.c_ulong
        self.lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]

    def selection_owned(self, display, name):
        d = self.lib.XOpenDisplay(display.encode())
        if not d:
            return False
        try:
            return self.lib.XGetSelectionOwner(d, self.lib.XInternAtom(d, name.encode(), 0)) != 0
        finally:
            self.lib.XCloseDisplay(d)


class Game:
    """The stand-in, driven over its standard input and heard over its output."""

    def __init__(self, server, override):
        argv = [STANDIN] + (["--override"] if override else [])
        self.process = subprocess.Popen(argv, env=dict(os.environ, DISPLAY=server.display),
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.wait_line("ready", 20)

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.strip())

    def wait_line(self, prefix, timeout=5):
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError(f"the game never said {prefix!r}")
            try:
                line = self.lines.get(timeout=left)
            except queue.Empty:
                continue
            if line.startswith(prefix):
                return line

    def flip(self):
        """Flips the block; its new colour once the server has drawn it."""
        self.process.stdin.write("flip\n")
        self.process.stdin.flush()
        return self.wait_line("flipped").split()[1]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)


class OverTheGameTest(unittest.TestCase):
    xlib = None

    @classmethod
    def setUpClass(cls):
        missing = [t for t in ("Xvfb", "xdotool", "xwininfo", "xprop", "import") if shutil.which(t) is None]
        if missing or not os.path.exists(STANDIN):
            raise unittest.SkipTest("missing: " + ", ".join(missing or [STANDIN]))
        cls.xlib = XLib()

    def start_desktop(self, programs):
        server = harness.XServer.start()
        self.addCleanup(server.stop)
        for argv in programs:
            if shutil.which(argv[0]) is None:
                self.skipTest(argv[0] + " is not installed (scripts/install-deps)")
            p = subprocess.Popen(argv, env=dict(os.environ, DISPLAY=server.display), stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.addCleanup(lambda p=p: (p.terminate(), p.wait()))
        names = [argv[0] for argv in programs]
        if "openbox" in names:
            harness.wait_openbox(server)
        elif any(n != "picom" for n in names):
            harness.wait_until(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in server.run_tool(
                "xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout, 30, "the window manager")
        if "picom" in names:
            harness.wait_until(lambda: self.xlib.selection_owned(server.display, "_NET_WM_CM_S0"), 30,
                               "the compositing manager")
        return server

    def start_lentora(self, server):
        sandbox = harness.Sandbox()
        self.addCleanup(sandbox.cleanup)
        sandbox.write_config(json.dumps({"app.start_minimized": "1"}))
        run = harness.Lentora(sandbox, server.display).start()
        self.addCleanup(run.kill)  # fails the test on a crash
        run.wait_ready(timeout=30)
        run.wait_threads("MagnifierDisplay::RenderThread", "HotkeyManager::HandleHotkeysThread", timeout=30)
        run.wait_for_log(r"^\(render\)OpenGL ", timeout=30)
        return run

    # --- what the tests look at

    def overlay_rects(self, server):
        """The rectangles of the program's shown overlay windows (view and help window)."""
        rects = []
        for w in server.run_tool("xdotool", "search", "--onlyvisible", "--class",
                                 "Lentora_OverlayWindowClass").stdout.split():
            values = {}
            for line in server.run_tool("xwininfo", "-id", w).stdout.splitlines():
                key, _, value = line.strip().partition(":")
                if key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                    values[key] = int(value)
            if len(values) == 4:
                x, y = values["Absolute upper-left X"], values["Absolute upper-left Y"]
                rects.append((x, y, x + values["Width"], y + values["Height"]))
        return rects

    def wait_view(self, server, rect):
        harness.wait_until(lambda: rect in self.overlay_rects(server), 10, f"the view at {rect}", 0.05)

    def focused_name(self, server):
        return server.run_tool("xdotool", "getwindowfocus", "getwindowname").stdout.strip()

    def assert_live(self, screen, game, flips=5, probe=PROBE):
        """Every change of the block under the view shows in the view (at probe on the screen)."""
        for _ in range(flips):
            colour = COLOURS[game.flip()]
            harness.wait_until(lambda: near(screen.take().at(*probe), colour, 12), 5,
                               f"the view to show the block {colour} at {probe}", 0.02)

    def assert_enlarged(self, screen, src, client):
        """The view shows the pattern of src enlarged (the block's points left out)."""
        def wrong():
            bad, checked = screen.take().wrong_view_points(client, src)
            left, top = client[0], client[1]
            w, h = client[2] - client[0], client[3] - client[1]
            keep = []
            for vx, vy in bad:
                sx = src[0] + (vx + 0.5) * (src[2] - src[0]) / w
                sy = src[1] + (vy + 0.5) * (src[3] - src[1]) / h
                if not (BLOCK[0] - 2 <= sx < BLOCK[2] + 2 and BLOCK[1] - 2 <= sy < BLOCK[3] + 2):
                    keep.append((left + vx, top + vy))
            return keep, checked
        try:
            harness.wait_until(lambda: not wrong()[0], 5, f"the view to show {src}", 0.1)
        except TimeoutError:
            pass
        bad, checked = wrong()
        self.assertGreater(checked, 500)
        self.assertEqual(bad[:10], [], f"{len(bad)} of {checked} points differ")

    # --- the tests

    def test_the_view_shows_above_the_game_and_live(self):
        for name, programs in DESKTOPS:
            kinds = ("full screen", "override-redirect") if name in ("openbox", "no window manager") else (
                "full screen",)
            for kind in kinds:
                with self.subTest(desktop=name, game=kind):
                    self.check_over_the_game(programs, override=(kind == "override-redirect"))

    def check_over_the_game(self, programs, override):
        server = self.start_desktop(programs)
        run = self.start_lentora(server)
        game = Game(server, override)
        self.addCleanup(game.stop)
        game.wait_line("focus in")
        screen = Screen(server)
        x = lambda *a: server.run_tool("xdotool", *[str(v) for v in a])

        x("mousemove", 100, 1000, "keydown", "Control_L")
        time.sleep(0.15)
        x("mousedown", 3)
        time.sleep(0.2)
        x("mouseup", 3)
        x("keyup", "Control_L")
        self.wait_view(server, VIEW)
        self.assert_enlarged(screen, source_rect(200), VIEW)
        self.assert_live(screen, game)

        # Clicks go through the view to the game, which keeps the keyboard.
        x("mousemove", 700, 400, "click", 1)
        self.assertEqual(game.wait_line("click"), "click 700 400 1")
        self.assertEqual(self.focused_name(server), "Lentora game stand-in")

        # The game raising itself does not put it above the view for long.
        if override:
            x("search", "--name", "Lentora game stand-in", "windowraise")
            self.wait_view(server, VIEW)
            self.assert_enlarged(screen, source_rect(200), VIEW)
            self.assert_live(screen, game, flips=2)

        self.assertEqual(run.stop(), 0)

    def test_editor_mode_over_the_game(self):
        for name, programs in DESKTOPS:
            with self.subTest(desktop=name):
                self.check_editor_mode(programs)

    def check_editor_mode(self, programs):
        server = self.start_desktop(programs)
        run = self.start_lentora(server)
        game = Game(server, override=False)
        self.addCleanup(game.stop)
        game.wait_line("focus in")
        screen = Screen(server)
        x = lambda *a: server.run_tool("xdotool", *[str(v) for v in a])

        x("keydown", "Super_L", "keydown", "Control_L", "keydown", "Shift_L")
        time.sleep(0.25)
        x("keyup", "Shift_L", "keyup", "Control_L", "keyup", "Super_L")
        framed = (VIEW[0] - FRAME_LEFT, VIEW[1] - FRAME_TOP, VIEW[2] + FRAME_LEFT, VIEW[3] + FRAME_LEFT)
        self.wait_view(server, framed)  # the client area stays where the view was
        # The help panel and the view's frame are drawn one after the other: wait for both on one screen.
        try:
            harness.wait_until(lambda: near(screen.take().at(960, 12), (229, 202, 139), 10) and
                               near(screen.at(VIEW[0] + 200, VIEW[1] - 15), FRAME_COLOUR, 6) and
                               near(screen.at(VIEW[0] - 3, VIEW[1] + 200), FRAME_COLOUR, 6),
                               10, "the help panel and the frame", 0.1)
        except TimeoutError:
            pass  # the assertions below say which part is missing
        self.assertTrue(near(screen.at(960, 12), (229, 202, 139), 10), "the help panel")
        self.assertTrue(near(screen.at(VIEW[0] + 200, VIEW[1] - 15), FRAME_COLOUR, 6), "the caption strip")
        self.assertTrue(near(screen.at(VIEW[0] - 3, VIEW[1] + 200), FRAME_COLOUR, 6), "the left border")
        self.assert_enlarged(screen, source_rect(200), VIEW)
        self.assert_live(screen, game, flips=3)
        self.assertEqual(self.focused_name(server), "Lentora game stand-in")

        cx, cy = 700, 400  # in the client area, away from the block
        x("mousemove", cx, cy)
        time.sleep(0.1)
        x("click", 4)  # one wheel notch: 12 % more
        self.assert_enlarged(screen, source_rect(212), VIEW)
        x("mousedown", 3, "mousemove", cx + 30, cy + 10)
        time.sleep(0.1)
        x("mouseup", 3)  # the source moves against the drag
        self.assert_enlarged(screen, source_rect(212, (-30, -10)), VIEW)
        x("mousemove", cx, cy, "mousedown", 1, "mousemove", cx + 20, cy + 10)
        time.sleep(0.1)
        x("mousemove", cx + 40, cy + 20)
        time.sleep(0.1)
        x("mouseup", 1)
        moved = (framed[0] + 40, framed[1] + 20, framed[2] + 40, framed[3] + 20)
        self.wait_view(server, moved)
        # The right border widens the view by what it is dragged.
        edge_x, mid_y = moved[2] - 2, (moved[1] + moved[3]) // 2
        x("mousemove", edge_x, mid_y, "mousedown", 1, "mousemove", edge_x + 50, mid_y)
        time.sleep(0.1)
        x("mousemove", edge_x + 100, mid_y)
        time.sleep(0.1)
        x("mouseup", 1)
        self.wait_view(server, (moved[0], moved[1], moved[2] + 100, moved[3]))
        client = (VIEW[0] + 40, VIEW[1] + 20, VIEW[2] + 140, VIEW[3] + 20)
        src = source_rect(212, (-30, -10), (client[2] - client[0], client[3] - client[1]))
        self.assert_live(screen, game, flips=2, probe=probe_for(client, src))
        self.assertEqual(self.focused_name(server), "Lentora game stand-in")

        x("keydown", "Super_L", "keydown", "Control_L", "keydown", "Shift_L")
        time.sleep(0.25)
        x("keyup", "Shift_L", "keyup", "Control_L", "keyup", "Super_L")
        harness.wait_until(lambda: not self.overlay_rects(server), 10, "the view and panel to go")
        self.assertEqual(run.stop(), 0)


if __name__ == "__main__":
    unittest.main()
