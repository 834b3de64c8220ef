"""The magnified view as a user meets it: the real program under a private X server with a window
manager, a picture of known blocks on the root window, the hotkeys pressed through XTest, and the
screen read back."""

import json
import os
import subprocess
import tempfile
import time
import unittest

import harness

BLOCK = 24
VIEW = (576, 324, 1344, 756)  # 40 % of 1920 x 1080, centred


def pattern_at(x, y):
    bx, by = x // BLOCK, y // BLOCK
    return ((bx * 47) % 256, (by * 83) % 256, (bx * 13 + by * 29) % 256)


def write_pattern(path):
    rows = bytearray()
    for y in range(1080):
        row = bytearray()
        for bx in range(0, 1920, BLOCK):
            row += bytes(pattern_at(bx, y)) * BLOCK
        rows += row
    with open(path, "wb") as f:
        f.write(b"P6 1920 1080 255\n" + bytes(rows))


def near(a, b, tolerance=6):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def source_rect(magnification, offset=(0, 0), view=(768, 432)):
    """The part of the 1920 x 1080 display that a view of that size shows (rounded as the program does)."""
    z = magnification / 100.0
    cx, cy = 960 + offset[0], 540 + offset[1]
    hw, hh = view[0] / z * 0.5, view[1] / z * 0.5

    def rnd(v):
        return int(v + 0.5) if v >= 0 else -int(-v + 0.5)
    return (rnd(cx - hw), rnd(cy - hh), rnd(cx + hw), rnd(cy + hh))


class Screen:
    def __init__(self, server):
        self.server = server
        self.pixels = b""

    def take(self):
        result = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                                env=dict(os.environ, DISPLAY=self.server.display), capture_output=True,
                                timeout=20)
        self.pixels = result.stdout
        assert len(self.pixels) == 1920 * 1080 * 3, result.stderr
        return self

    def at(self, x, y):
        i = (y * 1920 + x) * 3
        return tuple(self.pixels[i:i + 3])

    def wrong_view_points(self, client, src):
        """Grid points of the view that are not the pattern of src enlarged; and how many were checked."""
        left, top, right, bottom = client
        w, h = right - left, bottom - top
        wrong, checked = [], 0
        for vy in range(3, h, 11):
            for vx in range(3, w, 11):
                sx = src[0] + (vx + 0.5) * (src[2] - src[0]) / w
                sy = src[1] + (vy + 0.5) * (src[3] - src[1]) / h
                if int(sx - 0.6) // BLOCK != int(sx + 0.6) // BLOCK or int(sy - 0.6) // BLOCK != int(sy + 0.6) // BLOCK:
                    continue  # samples across a block edge
                checked += 1
                if not near(self.at(left + vx, top + vy), pattern_at(int(sx), int(sy))):
                    wrong.append((vx, vy))
        return wrong, checked

    def shows_desktop(self, rect, step=29):
        left, top, right, bottom = rect
        return all(near(self.at(x, y), pattern_at(x, y)) for y in range(top + 2, bottom - 2, step)
                   for x in range(left + 2, right - 2, step))


class LiveViewTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = harness.XServer.start()
        cls.folder = tempfile.mkdtemp(prefix="lentora-live-")
        picture = os.path.join(cls.folder, "pattern.ppm")
        write_pattern(picture)
        # On the root window, where no window manager moves it.
        cls.server.run_tool("display", "-window", "root", picture, timeout=30)
        cls.wm = subprocess.Popen(["openbox"], env=dict(os.environ, DISPLAY=cls.server.display),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # openbox owns the screen's window-manager selection once it manages windows.
        harness.wait_until(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in cls.server.run_tool(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout, 20, "openbox to start")
        cls.screen = Screen(cls.server)

    @classmethod
    def tearDownClass(cls):
        cls.wm.terminate()
        cls.wm.wait()
        cls.server.stop()

    def setUp(self):
        self.sandbox = harness.Sandbox()
        self.runs = []

    def tearDown(self):
        try:
            for run in self.runs:
                run.kill()  # raises when the run crashed
        finally:
            self.sandbox.cleanup()

    def start(self, config=None):
        # The main window starts minimized, so it does not stand over the middle of the screen.
        config = dict({"app.start_minimized": "1"}, **(config or {}))
        self.sandbox.write_config(json.dumps(config))
        run = harness.Lentora(self.sandbox, self.server.display).start()
        self.runs.append(run)
        run.wait_ready(timeout=20)
        # The render thread with its engine, and the hotkey thread polling.
        run.wait_threads("MagnifierDisplay::RenderThread", "HotkeyManager::HandleHotkeysThread", timeout=20)
        run.wait_for_log(r"^\(render\)OpenGL ", timeout=20)
        return run

    def wait_screen(self, predicate, what, timeout=10):
        """Takes screenshots until predicate(screen) holds; the screen keeps the last one."""
        return harness.wait_until(lambda: predicate(self.screen.take()), timeout, what, interval=0.1)

    def wait_view_rect(self, expected, timeout=10):
        """Waits until the view's client rectangle is expected (None: no view shown); returns it."""
        harness.wait_until(lambda: self.view_window_rect() == expected, timeout,
                           f"the view at {expected}", interval=0.05)
        return expected

    def xdotool(self, *args):
        self.server.run_tool("xdotool", *args)

    def press_magnification(self, release=True):
        self.xdotool("mousemove", "100", "1000")
        self.xdotool("keydown", "Control_L")
        time.sleep(0.15)
        self.xdotool("mousedown", "3")
        time.sleep(0.25)
        if release:
            self.release_magnification()

    def release_magnification(self):
        self.xdotool("mouseup", "3")
        time.sleep(0.1)
        self.xdotool("keyup", "Control_L")

    def press_editor(self):
        self.xdotool("keydown", "Super_L", "keydown", "Control_L", "keydown", "Shift_L")
        time.sleep(0.25)
        self.xdotool("keyup", "Shift_L", "keyup", "Control_L", "keyup", "Super_L")

    def view_window_rect(self):
        """The view window on the screen (in editor mode with the frame it draws itself), or None."""
        ids = [w for w in self.server.run_tool("xdotool", "search", "--onlyvisible", "--class",
                                               "Lentora_OverlayWindowClass").stdout.split()]
        for w in ids:
            info = self.server.run_tool("xwininfo", "-id", w).stdout
            values = {}
            for line in info.splitlines():
                line = line.strip()
                for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                    if line.startswith(key + ":"):
                        values[key] = int(line.split(":")[1])
            if values and values["Width"] < 1900:  # not the help window, which covers the display
                x, y = values["Absolute upper-left X"], values["Absolute upper-left Y"]
                return (x, y, x + values["Width"], y + values["Height"])
        return None

    def assert_view_enlarges(self, src, client=VIEW):
        try:
            self.wait_screen(lambda s: not s.wrong_view_points(client, src)[0], f"the view to show {src}")
        except TimeoutError:
            pass  # the assertions below say what is wrong
        wrong, checked = self.screen.wrong_view_points(client, src)
        self.assertGreater(checked, 800)
        self.assertEqual(wrong[:10], [], f"{len(wrong)} of {checked} points differ")

    def test_the_hotkey_shows_and_hides_the_view(self):
        run = self.start()
        self.assertTrue(self.screen.take().shows_desktop(VIEW))
        self.press_magnification()
        self.wait_view_rect(VIEW)
        self.assert_view_enlarges(source_rect(200))
        self.assertTrue(self.screen.shows_desktop((0, 0, 500, 300)))  # the rest of the screen as it was
        self.press_magnification()
        self.wait_view_rect(None)
        self.wait_screen(lambda s: s.shows_desktop(VIEW), "the desktop where the view was")
        self.assertEqual(run.stop(), 0)

    def test_taps_of_10_ms_toggle_the_view_every_time(self):
        self.start()
        self.xdotool("mousemove", "100", "1000")
        self.xdotool("keydown", "Control_L")
        try:
            for tap in range(40):
                # One xdotool run: the button is held 10 ms, a third of the key poll's interval.
                self.xdotool("mousedown", "3", "sleep", "0.01", "mouseup", "3")
                self.wait_view_rect(VIEW if tap % 2 == 0 else None, timeout=5)
        finally:
            self.xdotool("keyup", "Control_L")

    def test_the_users_exact_pointer_acceleration_survives_show_and_hide(self):
        self.start({"profile.magnification.mouse_adjust": "1"})
        for acceleration, threshold in (("5/1", "4"), ("7/4", "2")):
            with self.subTest(acceleration):
                self.xdotool("mousemove", "100", "1000")
                self.server.run_tool("xset", "m", acceleration, threshold)
                self.press_magnification()
                self.wait_view_rect(VIEW)
                self.press_magnification()
                self.wait_view_rect(None)
                shown = self.server.run_tool("xset", "q").stdout
                self.assertRegex(shown, rf"acceleration:\s+{acceleration}\s+threshold:\s+{threshold}\b")
        self.server.run_tool("xset", "m", "default")

    def test_hold_mode_shows_the_view_while_held(self):
        self.start({"profile.hotkey.magnification.hold": "1"})
        self.press_magnification(release=False)
        self.wait_view_rect(VIEW)
        self.assert_view_enlarges(source_rect(200))
        self.release_magnification()
        self.wait_view_rect(None)
        self.wait_screen(lambda s: s.shows_desktop(VIEW), "the desktop where the view was")

    def test_the_circle_mask_leaves_the_corners_to_the_desktop(self):
        self.start({"profile.mask.type": "1"})
        self.press_magnification()
        self.wait_view_rect(VIEW)
        # The inner part is the enlarged image.
        src = source_rect(200)
        inner = (VIEW[0] + 300, VIEW[1] + 130, VIEW[0] + 468, VIEW[1] + 302)

        def wrong_inside(screen):
            wrong, checked = screen.wrong_view_points(VIEW, src)
            return checked, [(x, y) for x, y in wrong
                             if inner[0] <= VIEW[0] + x < inner[2] and inner[1] <= VIEW[1] + y < inner[3]]
        try:
            self.wait_screen(lambda s: not wrong_inside(s)[1], "the enlarged image inside the circle")
        except TimeoutError:
            pass  # the assertions below say what is wrong
        left, top, right, bottom = VIEW
        for corner in ((left, top, left + 40, top + 40), (right - 40, bottom - 40, right, bottom),
                       (left, bottom - 40, left + 40, bottom), (right - 40, top, right, top + 40)):
            self.assertTrue(self.screen.shows_desktop(corner, step=7), corner)
        checked, wrong = wrong_inside(self.screen)
        self.assertGreater(checked, 800)
        self.assertEqual(wrong, [])

    def test_editor_mode_frames_the_view_and_follows_the_mouse(self):
        self.start()
        self.press_editor()
        # The view draws its own frame (border 6, caption strip and border 30) around the client area,
        # which stays where the view was.
        self.wait_view_rect((VIEW[0] - 6, VIEW[1] - 30, VIEW[2] + 6, VIEW[3] + 6))
        client = VIEW
        # The help panel at the top centre: its light fill, premultiplied at 90 %.
        panel = (229, 202, 139)
        try:
            self.wait_screen(lambda s: near(s.at(960, 12), panel, 10), "the help panel")
        except TimeoutError:
            pass
        self.assertTrue(near(self.screen.at(960, 12), panel, 10), self.screen.at(960, 12))
        self.assert_view_enlarges(source_rect(200), client)

        cx, cy = (VIEW[0] + VIEW[2]) // 2, (VIEW[1] + VIEW[3]) // 2
        self.xdotool("mousemove", str(cx), str(cy))
        time.sleep(0.2)
        self.xdotool("click", "4")  # one wheel notch: 12 % more
        self.assert_view_enlarges(source_rect(212), client)

        self.xdotool("mousedown", "3")
        self.xdotool("mousemove", str(cx + 30), str(cy + 10))
        time.sleep(0.2)
        self.xdotool("mouseup", "3")
        self.assert_view_enlarges(source_rect(212, (-30, -10)), client)

        self.xdotool("mousemove", str(cx), str(cy))
        time.sleep(0.2)
        self.xdotool("mousedown", "1")
        self.xdotool("mousemove", str(cx + 40), str(cy + 20))
        time.sleep(0.1)
        self.xdotool("mousemove", str(cx + 80), str(cy + 50))
        time.sleep(0.2)
        self.xdotool("mouseup", "1")
        self.wait_view_rect((VIEW[0] + 74, VIEW[1] + 20, VIEW[2] + 86, VIEW[3] + 56))
        moved = (VIEW[0] + 80, VIEW[1] + 50, VIEW[2] + 80, VIEW[3] + 50)
        self.assert_view_enlarges(source_rect(212, (-30, -10)), moved)

        self.press_editor()  # back to the hidden view it was before
        self.wait_view_rect(None)
        self.wait_screen(lambda s: s.shows_desktop((0, 0, 1920, 120), step=37), "the panel to go")


if __name__ == "__main__":
    unittest.main()
