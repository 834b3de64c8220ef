"""The Profile page as assistive technology meets it (see atspi_session): the real program, its controls
found by their names and operated through their actions, and config.json checked after an ordered end."""

import os
import time
import unittest

import harness
from atspi_session import AtspiTestCase
from test_live_view import Screen, near, pattern_at, source_rect, write_pattern

# The view in the top-right corner (40 % of 1920 x 1080) and the main window below-left of it, so that
# neither covers the other.
VIEW = (1152, 0, 1920, 432)
PLACED = {"profile.target.offset": "[30000, -30000]", "ui.window.rect": "[0, 430, 1100, 650]"}


class ProfilePageOverAtspi(AtspiTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        folder = harness.tempfile.mkdtemp(prefix="lentora-page-")
        picture = os.path.join(folder, "pattern.ppm")
        write_pattern(picture)
        cls.server.run_tool("display", "-window", "root", picture, timeout=30)
        cls.screen = Screen(cls.server)

    def step(self, slider, action):
        """One step of a slider through its AT-SPI action ("increase" or "decrease")."""
        a = slider.queryAction()
        names = [a.getName(i).lower() for i in range(a.nActions)]
        self.assertIn(action, names)
        a.doAction(names.index(action))

    def test_every_control_is_named_and_the_page_is_operated_by_name(self):
        run = self.start()
        self.find("slider", "Magnification")
        self.assertEqual(self.unnamed_controls(), [])
        self.assertEqual(self.find("slider", "Magnification").queryValue().currentValue, 200)

        self.press(self.find("push button", "Full screen"))
        self.press(self.find("radio button", "Circle"))
        self.press(self.find("push button", "Right"))
        self.press(self.find("check box", "Slow down the mouse while magnifying"))

        saved = self.stop_and_read_config(run)
        self.assertEqual(saved["profile.target.size"], "[100000, 100000]")
        self.assertEqual(saved["profile.mask.type"], "1")
        self.assertEqual(saved["profile.src.offset"], "[1, 0]")
        self.assertEqual(saved["profile.magnification.mouse_adjust"], "1")

    def test_the_page_drives_the_real_view(self):
        run = self.start(dict(PLACED))
        self.hotkey()
        self.wait_view(VIEW)
        # A shape: the corners of the view go back to the desktop, the middle stays enlarged.
        self.press(self.find("radio button", "Circle"))
        harness.wait_until(lambda: near(self.screen.take().at(VIEW[0] + 4, VIEW[1] + 4),
                                        pattern_at(VIEW[0] + 4, VIEW[1] + 4)), 10, "the cut corner", 0.1)
        # One step less width: the view narrows at once (39.5 % of 1920, about the same centre).
        self.step(self.find("slider", "Size X"), "decrease")
        harness.wait_until(lambda: (r := self.view_rect()) and abs(r[2] - r[0] - 758.4) < 1.5, 10,
                           "the narrower view")

        # The show/hide hotkey recorded anew as LCtrl + RMouse: stored as 674 and working at once.
        self.press(self.find("push button", "Show/hide hotkey"))
        time.sleep(0.3)  # the recording listens 50 ms after the click
        self.hotkey()  # recorded, not acted on: the view stays
        time.sleep(0.5)
        self.assertIsNotNone(self.view_rect())
        self.hotkey()  # the new binding at once
        self.wait_view(None)
        self.hotkey()
        harness.wait_until(self.view_rect, 10, "the view again")

        # Moved in editor mode with the mouse: the page's sliders follow within a second.
        position = self.find("slider", "Position X")
        before = position.queryValue().currentValue
        self.xdotool("keydown", "Super_L", "keydown", "Control_L", "keydown", "Shift_L")
        time.sleep(0.2)
        self.xdotool("keyup", "Shift_L", "keyup", "Control_L", "keyup", "Super_L")
        harness.wait_until(lambda: (r := self.view_rect()) is not None and r[3] - r[1] > 432, 10,
                           "the editor frame")
        r = self.view_rect()
        self.xdotool("mousemove", str((r[0] + r[2]) // 2), str((r[1] + r[3]) // 2))
        time.sleep(0.2)
        self.xdotool("mousedown", "1")
        self.xdotool("mousemove", str((r[0] + r[2]) // 2 - 100), str((r[1] + r[3]) // 2 + 40))
        time.sleep(0.2)
        self.xdotool("mouseup", "1")
        harness.wait_until(lambda: position.queryValue().currentValue < before - 4, 1.0,
                           "the position slider to follow the drag", 0.05)

        self.press(self.find("push button", "Full screen"))
        saved = self.stop_and_read_config(run)
        self.assertEqual(saved["profile.hotkey.magnification"], "674")
        self.assertEqual(saved["profile.mask.type"], "1")
        self.assertEqual(saved["profile.target.size"], "[100000, 100000]")

    def test_a_missing_display_falls_back_and_colours_round_trip(self):
        config = dict(PLACED, **{"profile.src.display": "GHOST-1", "profile.target.display": "GHOST-2",
                                 "profile.mask.outer_color": "[0.500000, 0.250000, 1.000000, 0.000000]"})
        for attempt in range(2):
            self.sandbox.clear_logs()  # two starts in one second would share a log name
            run = self.start(config if attempt == 0 else None)
            self.find("slider", "Magnification")
            time.sleep(0.5)
            saved = self.stop_and_read_config(run)
            # Xvfb's one output is "screen"; the colour is written back as bytes over 255, and stays.
            self.assertEqual(saved["profile.src.display"], "screen")
            self.assertEqual(saved["profile.target.display"], "screen")
            self.assertEqual(saved["profile.mask.outer_color"], "[0.498039, 0.247059, 1.000000, 0.000000]")


if __name__ == "__main__":
    unittest.main()
