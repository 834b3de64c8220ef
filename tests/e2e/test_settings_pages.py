"""The Settings, Help and Reticula pages, the translation viewer and the first-start wizard as assistive
technology meets them (see atspi_session), under openbox: the real program, its controls found by their
names and operated through their actions; the language reaching every view and the help panel, the
autostart entry on disk, the addresses handed to the browser (a stand-in xdg-open that records them),
and the view leaving the configuration window out of its copy unless the user allows it."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness
from atspi_session import AtspiTestCase
from test_live_view import Screen, source_rect
from test_over_the_game import STANDIN, Game

LOCALE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "locale")
COMMUNITY = "https://discord.gg/lorx"


def texts(language):
    """The texts of a language file by id (what the checks compare with, read apart from the program)."""
    out = {}
    with open(os.path.join(LOCALE, language + ".txt"), encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("//"):
                continue
            key, _, text = line.partition(" ")
            text = text.strip()
            if len(text) >= 2 and text[0] == '"' and text[-1] == '"':
                text = text[1:-1]
            out[key] = text
    return out


EN, DE, RU = texts("en-US"), texts("de-DE"), texts("ru-RU")


class SettingsPagesOverAtspi(AtspiTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if shutil.which("openbox") is None:
            raise unittest.SkipTest("openbox is not installed (scripts/install-deps)")
        cls.wm = subprocess.Popen(["openbox", "--sm-disable"], env=dict(os.environ, DISPLAY=cls.server.display),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        harness.wait_openbox(cls.server)
        cls.screen = Screen(cls.server)

    @classmethod
    def tearDownClass(cls):
        cls.wm.terminate()
        cls.wm.wait()
        super().tearDownClass()

    def browser(self):
        """A stand-in xdg-open first in the program's PATH; returns the environment and the record."""
        folder = tempfile.mkdtemp(prefix="lentora-browser-")
        self.addCleanup(shutil.rmtree, folder, True)
        record = os.path.join(folder, "opened.txt")
        script = os.path.join(folder, "xdg-open")
        with open(script, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{record}"\n')
        os.chmod(script, 0o755)
        return {"PATH": folder + ":/usr/local/bin:/usr/bin:/bin"}, record

    def opened(self, record, count):
        def lines():
            if not os.path.exists(record):
                return None
            with open(record) as f:
                got = f.read().split()
            return got if len(got) >= count else None
        return harness.wait_until(lines, 10, f"{count} addresses in the browser", 0.1)

    def go(self, page):
        self.press(self.find("list item", page))

    def test_the_wizard_shows_on_the_first_start_only_however_it_ends(self):
        env, record = self.browser()
        run = self.start(env=env)
        self.find("dialog", EN["WIZARD.TITLE"], showing=True)
        self.assertEqual(self.unnamed_controls(), [])
        # Step 3 asks first; its button puts the details in the question's place.
        self.assertIsNone(self.lookup("label", EN["WIZARD.STEP3.1"], showing=True))
        self.press(self.find("push button", EN["WIZARD.STEP3CLICK"], showing=True))
        self.find("label", EN["WIZARD.STEP3.1"], showing=True)
        self.assertIsNone(self.lookup("push button", EN["WIZARD.STEP3CLICK"], showing=True))
        self.press(self.find("push button", EN["WIZARD.DISCORD"], showing=True))
        self.assertEqual(self.opened(record, 1), [COMMUNITY])
        # Ended with the dialog still open: the first start is over all the same.
        self.assertEqual(self.stop_and_read_config(run)["app.first_start"], "0")

        self.sandbox.clear_logs()  # two starts in one second would share a log name
        self.start()
        self.find("slider", "Magnification", showing=True)
        time.sleep(1)
        self.assertIsNone(self.lookup("dialog", EN["WIZARD.TITLE"], showing=True))

    def test_language_autostart_and_translations_by_name(self):
        config = {"app.first_start": "0", "ui.language": "en-US", "ui.window.rect": "[0, 430, 1100, 650]",
                  "profile.target.offset": "[30000, 30000]"}
        run = self.start(config)
        self.go("Settings")
        self.find("combo box", EN["OPT.LANGUAGE"], showing=True)
        self.assertEqual(self.unnamed_controls(), [])

        # Start at logon: the entry for this user (root's for every user) with the program's real path,
        # valid for the desktop's validator; off again, it is gone.
        if os.geteuid() == 0:
            entry = "/etc/xdg/autostart/Lentora.desktop"
        else:
            import pwd
            entry = os.path.join(self.sandbox.config_home, "autostart",
                                 "Lentora_" + pwd.getpwuid(os.getuid()).pw_name + ".desktop")
        if os.path.exists(entry):
            self.skipTest(entry + " exists already: not touched")
        self.addCleanup(lambda: os.path.exists(entry) and os.remove(entry))
        autostart = self.find("check box", EN["OPT.AUTOSTART"])
        self.press(autostart)
        harness.wait_until(lambda: os.path.exists(entry), 5, "the autostart entry")
        with open(entry) as f:
            self.assertIn('Exec="' + os.path.realpath(harness.LENTORA_BIN) + '"\n', f.read())
        check = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.press(autostart)
        harness.wait_until(lambda: not os.path.exists(entry), 5, "the entry removed")

        # The help panel in editor mode, before and after the language changes under it.
        self.xdotool("keydown", "Super_L", "keydown", "Control_L", "keydown", "Shift_L")
        time.sleep(0.2)
        self.xdotool("keyup", "Shift_L", "keyup", "Control_L", "keyup", "Super_L")
        panel = (560, 0, 1360, 200)  # the top centre of the display, clear of the main window

        def panel_pixels():
            s = self.screen.take()
            return b"".join(s.pixels[(y * 1920 + panel[0]) * 3:(y * 1920 + panel[2]) * 3]
                            for y in range(panel[1], panel[3]))
        def drawn_panel():
            p = panel_pixels()
            return p if len(set(p)) > 8 else None
        english = harness.wait_until(drawn_panel, 10, "the help panel")

        # Deutsch from the selector's list: every view follows, the help panel too.
        self.press(self.find("combo box", EN["OPT.LANGUAGE"]))
        self.press(self.find("list item", "Deutsch", showing=True))
        self.find("list item", DE["NAV.SETTINGS"])
        self.find("check box", DE["OPT.AUTOSTART"])
        harness.wait_until(lambda: panel_pixels() != english, 10, "the help panel in German", 0.2)

        # The translation viewer from the Help page: English and German side by side.
        self.go(DE["NAV.HELP"])
        self.press(self.find("push button", DE["HELP.TRANSLATIONS"]))
        self.find("label", "HELP.A", showing=True)
        self.find("label", EN["HELP.A"], showing=True)
        self.find("label", DE["HELP.A"], showing=True)
        saved = self.stop_and_read_config(run)
        self.assertEqual(saved["ui.language"], "de-DE")
        self.assertEqual(saved["app.launch_windows"], "0")

    def test_promo_buttons_open_the_site_for_the_language_and_the_store(self):
        env, record = self.browser()
        run = self.start(env=env)
        self.press(self.find("push button", EN["WIZARD.CLOSE"], showing=True))
        harness.wait_until(lambda: self.lookup("dialog", EN["WIZARD.TITLE"], showing=True) is None, 5,
                           "the wizard closed")
        self.go("Help")
        self.find("push button", EN["HELP.TRANSLATIONS"])
        self.assertEqual(self.unnamed_controls(), [])
        self.go("Reticula")
        self.find("push button", EN["RETICULA.STEAM"])
        self.assertEqual(self.unnamed_controls(), [])
        self.press(self.find("push button", EN["RETICULA.WWW"]))
        self.press(self.find("push button", EN["RETICULA.STEAM"]))
        site, store = self.opened(record, 2)
        self.go("Settings")
        self.press(self.find("combo box", EN["OPT.LANGUAGE"]))
        self.press(self.find("list item", "Русский", showing=True))
        self.go(RU["NAV.RETICULA"])
        self.press(self.find("push button", RU["RETICULA.WWW"]))
        russian = self.opened(record, 3)[2]
        for address in (site, store, russian):
            self.assertRegex(address, r"^https://[^?]+\?(.+&)?utm_source=lorx&utm_medium=app$")
        self.assertIn("/ru/?", russian)
        self.assertNotIn("/ru/", site)
        self.assertEqual(self.stop_and_read_config(run)["ui.language"], "ru-RU")

    @unittest.skipUnless(os.path.exists(STANDIN), "the game stand-in is not built")
    def test_the_view_leaves_the_window_out_unless_allowed(self):
        # A full-screen game, the main window above it (it maps later and takes the focus) over the
        # middle of the screen, which the view enlarges in the bottom-left corner, clear of the window.
        game = Game(self.server, override=False)
        self.addCleanup(game.stop)
        config = {"app.first_start": "0", "ui.window.rect": "[770, 0, 1100, 650]",
                  "profile.target.offset": "[-30000, 30000]"}
        self.start(config)
        self.go("Settings")
        toggle = self.find("check box", EN["OPT.ADVANCED.CAPTUREVIS"])
        self.hotkey()
        view = (0, 648, 768, 1080)
        self.wait_view(view)
        src = source_rect(200)

        def share_not_game():
            wrong, checked = self.screen.take().wrong_view_points(view, src)
            return len(wrong) / checked

        # Off (the default): the game shows through the window; on: the window, at once; off again.
        harness.wait_until(lambda: share_not_game() < 0.1, 10, "the game in the view", 0.2)
        self.press(toggle)
        harness.wait_until(lambda: share_not_game() > 0.5, 10, "the window in the view", 0.2)
        self.press(toggle)
        harness.wait_until(lambda: share_not_game() < 0.1, 10, "the game in the view again", 0.2)


if __name__ == "__main__":
    unittest.main()
