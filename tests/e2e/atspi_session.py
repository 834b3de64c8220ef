"""The program as assistive technology meets it: a private X server, a private session bus with the
accessibility bus launcher, and the program's accessibility tree read over AT-SPI, its controls found by
their names and operated through their actions. Runs under the system Python, which has pyatspi."""

import json
import os
import signal
import subprocess
import sys
import time
import unittest

import harness

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
INTERACTIVE_ROLES = {"push button", "toggle button", "radio button", "check box", "slider", "combo box"}


class AtspiTestCase(unittest.TestCase):
    server = None
    pyatspi = None

    @classmethod
    def setUpClass(cls):
        if "pyatspi" in sys.modules:
            # pyatspi keeps the buses of its first import for the life of the process.
            raise unittest.SkipTest("one AT-SPI test module a process (CTest runs each on its own)")
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

    def start(self, config=None, env=None):
        if config is not None:
            self.sandbox.write_config(json.dumps(config))
        run = harness.Lentora(self.sandbox, self.server.display, env=dict(env or {}, **{
            "DBUS_SESSION_BUS_ADDRESS": self.address, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})).start()
        self.addCleanup(run.kill)
        run.wait_ready(timeout=20)
        return run

    def stop_and_read_config(self, run):
        """Ends the run in order (SIGTERM) and returns the options it saved."""
        self.assertEqual(run.stop(signal.SIGTERM), 0)
        return json.loads(self.sandbox.read_config().decode("utf-8"))

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

    def showing(self, node):
        return node.getState().contains(self.pyatspi.STATE_SHOWING)

    def lookup(self, role, name, showing=False):
        app = self.application()
        if app is None:
            return None
        for node in self.nodes(app):
            # Anywhere on the page unless asked: Qt calls what is scrolled out of sight not visible.
            if node.getRoleName() == role and node.name == name and (not showing or self.showing(node)):
                return node
        return None

    def find(self, role, name, timeout=10, showing=False):
        return harness.wait_until(lambda: self.lookup(role, name, showing), timeout, f"the {role} {name!r}",
                                  interval=0.1)

    def press(self, node):
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        for wanted in ("press", "Press", "click", "toggle", "Toggle"):
            if wanted in names:
                action.doAction(names.index(wanted))
                return
        self.fail(f"{node.name!r} has no press action, only {names}")

    def unnamed_controls(self):
        return [n.getRoleName() for n in self.nodes(self.application())
                if n.getRoleName() in INTERACTIVE_ROLES and not n.name]

    def xdotool(self, *args):
        self.server.run_tool("xdotool", *args)

    # --- the view

    def view_rect(self):
        """The view window's rectangle on the screen, or None."""
        for w in self.server.run_tool("xdotool", "search", "--onlyvisible", "--class",
                                      "Lentora_OverlayWindowClass").stdout.split():
            values = {}
            for line in self.server.run_tool("xwininfo", "-id", w).stdout.splitlines():
                key, _, value = line.strip().partition(":")
                if key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                    values[key] = int(value)
            if len(values) == 4 and values["Width"] < 1900:  # not the help window
                x, y = values["Absolute upper-left X"], values["Absolute upper-left Y"]
                return (x, y, x + values["Width"], y + values["Height"])
        return None

    def wait_view(self, expected, timeout=10):
        harness.wait_until(lambda: self.view_rect() == expected, timeout, f"the view at {expected}",
                           interval=0.05)

    def hotkey(self):
        self.xdotool("mousemove", "100", "1000", "keydown", "Control_L")
        time.sleep(0.1)
        self.xdotool("mousedown", "3")
        time.sleep(0.1)
        self.xdotool("mouseup", "3")
        time.sleep(0.1)
        self.xdotool("keyup", "Control_L")
