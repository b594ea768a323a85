"""The whole program as a screen reader sees it.

Runs the real program on the display and accessibility bus that
tests/support/screen-reader-session sets up, and reads it through pyatspi,
the library the desktop's screen reader uses: the tree of roles and names,
the press actions of the painted caption buttons, the focus events that
the keyboard makes while it moves over the couriers, and the courier that a
typed number points at.

Usage: screen_reader_test.py PROGRAM
"""

import os
import subprocess
import sys
import tempfile
import time
import unittest

try:
    import pyatspi
    from gi.repository import GLib
except ImportError as missing:  # the distribution's package, for its own Python
    print(f"screen_reader_test: {missing}", file=sys.stderr)
    sys.exit(77)

PROGRAM = None
TITLE = "Quonvex快递单号查询软件_Quonvex"
TIMEOUT = 20.0
# A cold start of the browser engine on a loaded machine can take longer than
# any step the tests wait for afterwards.
START_TIMEOUT = 60.0


def wait_for(condition, what, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        pump_events()
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def pump_events():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def states(node):
    return set(node.getState().getStates())


def role(node):
    return node.getRoleName()


class ProgramOnTheBus:
    """Starts the program and finds its window and controls on the
    accessibility bus; a test's setUp makes self.folder, which goes with
    the program."""

    # Where the program's error output goes, if a test reads it.
    program_log = None

    def start(self, program, **variables):
        with open(self.program_log or os.devnull, "wb") as log:
            self.program = subprocess.Popen([program], env=dict(os.environ, **variables),
                                            stdout=subprocess.DEVNULL, stderr=log)
        self.window = wait_for(self.find_window, "the program's window on the bus",
                               START_TIMEOUT)

    def tearDown(self):
        self.program.kill()
        self.program.wait()
        self.folder.cleanup()

    def find_window(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is None or app.get_process_id() != self.program.pid:
                continue
            for window in app:
                if window is not None and role(window) == "frame" and window.name == TITLE:
                    return window
        return None

    def find(self, role_name, name):
        for node in descendants(self.window):
            if role(node) == role_name and node.name == name:
                return node
        raise AssertionError(f"no {role_name} named {name}")

    def press(self, node):
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        self.assertIn("Press", names)
        actions.doAction(names.index("Press"))


class ProgramAsReadAloud(ProgramOnTheBus, unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.shell_log = os.path.join(self.folder.name, "shell.log")
        self.start(PROGRAM, COURIER_QUERY_SHELL_LOG=self.shell_log)

    def test_every_control_and_every_courier_has_a_name(self):
        for role_name, name in [("push button", "帮助"), ("push button", "最小化"),
                                ("push button", "最大化"), ("push button", "关闭"),
                                ("panel", "当前快递公司"), ("label", "圆通快递"),
                                ("push button", "查询"), ("text", "快递单号"),
                                ("panel", "查询面板"), ("list", "快递公司"),
                                ("text", "查询结果"), ("push button", "返回")]:
            self.find(role_name, name)
        result = self.find("text", "查询结果")
        inside_result = set(descendants(result))
        for node in descendants(self.window):
            if pyatspi.STATE_SHOWING in states(node) and node not in inside_result:
                self.assertTrue(node.name, f"an unnamed {role(node)} is on screen")

        couriers = self.find("list", "快递公司")
        items = [item for item in couriers]
        self.assertGreater(len(items), 60)
        self.assertEqual({role(item) for item in items}, {"list item"})
        headings = [node for node in self.find("panel", "查询面板") if role(node) == "heading"]
        self.assertIn("B", [heading.name for heading in headings])
        for heading in headings:
            self.assertNotIn(pyatspi.STATE_SELECTABLE, states(heading))
        chosen = [item.name for item in items if pyatspi.STATE_SELECTED in states(item)]
        self.assertEqual(chosen, ["圆通快递"])
        for item in items:
            if role(item) == "list item":
                self.assertIn(pyatspi.STATE_FOCUSABLE, states(item))

    def test_nothing_the_result_view_covers_is_showing(self):
        panel = self.find("panel", "查询面板")
        result = self.find("text", "查询结果")
        covered = [node for node in descendants(panel)
                   if node != result and role(node) != "push button"
                   and role(node) != "scroll bar" and role(node) != "filler"]
        self.assertTrue(any(pyatspi.STATE_SHOWING in states(node) for node in covered))
        self.keys("ctrl+a")
        subprocess.run(["xdotool", "type", "--delay", "20", "YT100"], check=True)
        self.keys("Return")
        wait_for(lambda: pyatspi.STATE_SHOWING in states(result), "the result view")
        inside_view = set(descendants(result)) | set(descendants(self.find("push button", "返回")))
        shown = [f"{role(node)} {node.name}" for node in covered
                 if node not in inside_view and pyatspi.STATE_SHOWING in states(node)]
        self.assertEqual(shown, [])

    def test_caption_buttons_press_and_follow_the_window_state(self):
        self.press(self.find("push button", "帮助"))
        wait_for(lambda: os.path.exists(self.shell_log), "the home page to open")
        with open(self.shell_log, encoding="utf-8") as log:
            self.assertTrue(log.read().startswith("open\t"))
        self.press(self.find("push button", "最大化"))
        wait_for(lambda: any(node.name == "还原" for node in descendants(self.window)),
                 "the maximise button to become 还原")

    def test_the_keyboard_moves_the_focus_over_the_couriers(self):
        focused = []

        def on_focus(event):
            if event.detail1 == 1:
                focused.append(event.source.name)

        pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
        try:
            self.keys("Tab", "Tab", "Right", "d", "Return")
            wait_for(lambda: "大田物流" in focused, "the focus on 大田物流")
        finally:
            pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")
        self.assertEqual(focused[-3:], ["圆通快递", "中通快递", "大田物流"])
        chosen = self.find("list item", "大田物流")
        wait_for(lambda: pyatspi.STATE_SELECTED in states(chosen), "大田物流 to be chosen")
        number = self.find("text", "快递单号").queryText()
        self.assertEqual(number.getText(0, -1), "请输入 大田物流 单号")

    def test_a_typed_number_marks_its_courier_and_chooses_nothing(self):
        self.keys("ctrl+a")
        subprocess.run(["xdotool", "type", "--delay", "20", "SF2122544101995"], check=True)
        marked = self.find("list item", "顺丰速运")
        wait_for(lambda: marked.description == "符合输入单号的格式", "顺丰速运 to be marked")
        items = list(self.find("list", "快递公司"))
        self.assertEqual([item.name for item in items if item.description], ["顺丰速运"])
        self.assertEqual(self.find("text", "快递单号").description, "单号格式相符：顺丰速运")
        chosen = [item.name for item in items if pyatspi.STATE_SELECTED in states(item)]
        self.assertEqual(chosen, ["圆通快递"])

    def keys(self, *names):
        """Types into the window as a user does: the pointer over its panel
        (where a click changes nothing), a click to make it active, keys."""
        x, y = self.window.queryComponent().getPosition(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", "--sync", str(x + 560), str(y + 440), "click", "1"],
                       check=True)
        for name in names:
            subprocess.run(["xdotool", "key", name], check=True)
            pump_events()
            time.sleep(0.1)


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
