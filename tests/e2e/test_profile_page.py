"""The Profile page as assistive technology meets it: the real program under a private X server, its
accessibility tree read over AT-SPI (a private session bus with the accessibility bus launcher), the
controls found by their names and operated through their actions, and config.json checked after an
ordered end. Runs under the system Python, which has pyatspi."""

import json
import os
import signal
import subprocess
import time
import unittest

import harness

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
INTERACTIVE_ROLES = {"push button", "toggle button", "radio button", "check box", "slider", "combo box"}


class ProfilePageOverAtspi(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = harness.XServer.start()
        cls.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        cls.address = cls.bus.stdout.readline().strip()
        cls.bus.stdout.close()
        env = dict(os.environ, DISPLAY=cls.server.display, DBUS_SESSION_BUS_ADDRESS=cls.address)
        cls.launcher = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # pyatspi finds the buses through these when it is first imported.
        os.environ["DISPLAY"] = cls.server.display
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = cls.address
        time.sleep(0.5)
        import pyatspi  # noqa: E402 (after the environment it reads)
        cls.pyatspi = pyatspi

    @classmethod
    def tearDownClass(cls):
        for p in (cls.launcher, cls.bus):
            p.terminate()
            p.wait()
        cls.server.stop()

    def setUp(self):
        self.sandbox = harness.Sandbox()
        self.addCleanup(self.sandbox.cleanup)

    def start(self):
        run = harness.Lentora(self.sandbox, self.server.display, env={
            "DBUS_SESSION_BUS_ADDRESS": self.address, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}).start()
        self.addCleanup(run.kill)
        run.wait_ready(timeout=20)
        return run

    def application(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name.lower() == "lentora":
                return app
        return None

    def nodes(self, root):
        """Every node under root, depth first."""
        out, stack = [], [root]
        while stack:
            node = stack.pop()
            if node is None:
                continue
            out.append(node)
            stack.extend(reversed([node.getChildAtIndex(i) for i in range(node.childCount)]))
        return out

    def find(self, role, name, timeout=10):
        def lookup():
            app = self.application()
            if app is None:
                return None
            for node in self.nodes(app):
                # Anywhere on the page: Qt calls what is scrolled out of sight not visible.
                if node.getRoleName() == role and node.name == name:
                    return node
            return None
        return harness.wait_until(lookup, timeout, f"the {role} {name!r}", interval=0.1)

    def press(self, node):
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        for wanted in ("press", "Press", "click", "toggle", "Toggle"):
            if wanted in names:
                action.doAction(names.index(wanted))
                return
        self.fail(f"{node.name!r} has no press action, only {names}")

    def test_every_control_is_named_and_the_page_is_operated_by_name(self):
        run = self.start()
        self.find("slider", "Magnification")
        unnamed = [n.getRoleName() for n in self.nodes(self.application())
                   if n.getRoleName() in INTERACTIVE_ROLES and not n.name]
        self.assertEqual(unnamed, [])
        self.assertEqual(self.find("slider", "Magnification").queryValue().currentValue, 200)

        self.press(self.find("push button", "Full screen"))
        self.press(self.find("radio button", "Circle"))
        self.press(self.find("push button", "Right"))
        self.press(self.find("check box", "Slow down the mouse while magnifying"))

        self.assertEqual(run.stop(signal.SIGTERM), 0)
        saved = json.loads(self.sandbox.read_config().decode("utf-8"))
        self.assertEqual(saved["profile.target.size"], "[100000, 100000]")
        self.assertEqual(saved["profile.mask.type"], "1")
        self.assertEqual(saved["profile.src.offset"], "[1, 0]")
        self.assertEqual(saved["profile.magnification.mouse_adjust"], "1")


if __name__ == "__main__":
    unittest.main()
