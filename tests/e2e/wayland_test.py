"""The whole program on a real Wayland compositor.

Runs the real program natively (the toolkit's Wayland platform) in the
session that tests/support/weston-session or mutter-session sets up: a
headless compositor, which has no input devices, so the caption buttons are
pressed through their accessibility actions, as a screen reader does.
Checks the start, the rounded corners in the compositor's screenshot (where
the session names a screenshot tool), maximising to the size the compositor
configures and restoring, minimising, and a message box centred over the
window, and a query answered by the tracking service.

What the compositor configures is read from the program's own protocol
log (WAYLAND_DEBUG), so no compositor's panel is assumed.

Usage: wayland_test.py PROGRAM SERVICE
"""

import glob
import json
import os
import re
import subprocess
import sys
import socket
import tempfile
import unittest
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
# First: it exits 77 (skipped) where the desktop's accessibility client is missing.
from screen_reader_test import ProgramOnTheBus, role, wait_for  # noqa: E402
import pyatspi  # noqa: E402

PROGRAM = None
SERVICE = None
SHIPMENTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "service",
                         "shipments.tsv")
TWIPS = 15  # the state snapshot gives sizes in twips
OUTPUT = (1280, 1024)  # the sessions' output
# The session's screenshot tool, if its compositor has one (weston's; mutter
# without GNOME Shell has none).
SCREENSHOT_TOOL = os.environ.get("SESSION_SCREENSHOT_TOOL")
PANEL = 32  # in weston's screenshots: its desktop shell's panel, with a clock


class Screenshot:
    """What the compositor shows, as rows of RGB bytes."""

    def __init__(self, folder):
        for old in glob.glob(os.path.join(folder, "wayland-screenshot-*.png")):
            os.remove(old)
        subprocess.run([SCREENSHOT_TOOL], cwd=folder, check=True)
        (path,) = glob.glob(os.path.join(folder, "wayland-screenshot-*.png"))
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             capture_output=True).stdout
        width, _ = OUTPUT
        self.rows = [raw[y * width * 3:(y + 1) * width * 3] for y in range(len(raw) // (width * 3))]

    def pixel(self, x, y):
        return self.rows[y][x * 3:x * 3 + 3]

    def changed_box(self, before):
        """The smallest box around every pixel that differs from `before`:
        (left, top, right, bottom), inclusive, or None."""
        # Below the panel, whose clock goes on.
        rows = [y for y, (a, b) in enumerate(zip(self.rows, before.rows)) if a != b and y >= PANEL]
        if not rows:
            return None
        columns = set()
        for y in rows:
            a, b = self.rows[y], before.rows[y]
            differing = [x for x in range(len(a) // 3) if a[x * 3:x * 3 + 3] != b[x * 3:x * 3 + 3]]
            columns.update((differing[0], differing[-1]))
        return min(columns), rows[0], max(columns), rows[-1]


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class TrackingService:
    """The tracking service on loopback, holding the sample shipments."""

    def __init__(self, folder):
        tokens = os.path.join(folder, "tokens")
        with open(os.open(tokens, os.O_WRONLY | os.O_CREAT, 0o600), "w") as file:
            file.write("0" * 48 + "\n")
        self.address = f"http://127.0.0.1:{free_port()}"
        self.process = subprocess.Popen(
            [SERVICE, "--config", "/dev/null", "--listen", self.address.removeprefix("http://"),
             "--database", os.path.join(folder, "events.sqlite"), "--seed", SHIPMENTS,
             "--token-file", tokens], stdout=subprocess.DEVNULL)
        wait_for(self.answers, "the tracking service")

    def answers(self):
        try:
            with urllib.request.urlopen(self.address + "/healthz", timeout=1):
                return True
        except OSError:
            return None

    def stop(self):
        self.process.terminate()
        self.process.wait()


class ProtocolLog:
    """The Wayland messages the program exchanged, as libwayland logs them."""

    def __init__(self, path):
        self.path = path

    def lines(self):
        with open(self.path, encoding="utf-8", errors="replace") as file:
            return file.read().splitlines()

    def configures_after(self, request):
        """The compositor's xdg_toplevel.configure events after the program's
        first xdg_toplevel `request`, as (width, height, bytes of states),
        or None before it is sent. A size of (0, 0) leaves it to the program."""
        lines = self.lines()
        sent = [i for i, line in enumerate(lines) if " -> xdg_toplevel@" in line
                and f".{request}(" in line]
        if not sent:
            return None
        event = re.compile(r"xdg_toplevel@\d+\.configure\((\d+), (\d+), array\[(\d+)\]")
        return [(int(m[1]), int(m[2]), int(m[3])) for line in lines[sent[0]:] if "->" not in line
                for m in [event.search(line)] if m]


class ProgramOnWayland(ProgramOnTheBus, unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.state_file = os.path.join(self.folder.name, "state.json")
        self.program_log = os.path.join(self.folder.name, "program.log")
        self.protocol = ProtocolLog(self.program_log)
        self.service = TrackingService(self.folder.name)
        self.addCleanup(self.service.stop)
        if SCREENSHOT_TOOL:
            self.desktop = wait_for(self.drawn_desktop, "the desktop's background")
        self.start(PROGRAM, COURIER_QUERY_STATE_FILE=self.state_file,
                   COURIER_QUERY_SERVICE=self.service.address, WAYLAND_DEBUG="client")

    def drawn_desktop(self):
        """The desktop once its background is drawn (two screenshots alike)."""
        first, second = Screenshot(self.folder.name), Screenshot(self.folder.name)
        black = bytes(len(first.rows[PANEL]))
        if first.rows[PANEL] != black and second.changed_box(first) is None:
            return second
        return None

    def size(self):
        """The window's size in pixels, as the program's snapshot has it."""
        try:
            with open(self.state_file, encoding="utf-8") as file:
                window = json.load(file)["window"]
        except (OSError, ValueError, KeyError):
            return None
        return window["width"] // TWIPS, window["height"] // TWIPS

    def running(self):
        return self.program.poll() is None

    def drawn_window(self):
        """The window's box on the screen once it is drawn at 600 x 500."""
        def drawn():
            box = Screenshot(self.folder.name).changed_box(self.desktop)
            return box if box and (box[2] - box[0] + 1, box[3] - box[1] + 1) == (600, 500) else None

        return wait_for(drawn, "the 600 x 500 window on the screen")

    @unittest.skipUnless(SCREENSHOT_TOOL, "the compositor has no screenshot tool")
    def test_the_corners_are_cut(self):
        left, top, right, bottom = self.drawn_window()
        shot = Screenshot(self.folder.name)
        # Each corner pixel and its neighbours along both edges lie outside
        # the rounded outline and show the desktop.
        for x, y, inward_x, inward_y in [(left, top, 1, 1), (right, top, -1, 1),
                                         (left, bottom, 1, -1), (right, bottom, -1, -1)]:
            for px, py in [(x, y), (x + inward_x, y), (x, y + inward_y)]:
                self.assertEqual(shot.pixel(px, py), self.desktop.pixel(px, py),
                                 f"{px},{py} by a corner is not see-through")
        middle = (left + right) // 2
        self.assertNotEqual(shot.pixel(middle, top), self.desktop.pixel(middle, top))

    def test_minimising_hides_the_window(self):
        if SCREENSHOT_TOOL:
            self.drawn_window()
        self.press(self.find("push button", "最小化"))
        if SCREENSHOT_TOOL:
            wait_for(lambda: Screenshot(self.folder.name).changed_box(self.desktop) is None,
                     "the minimised window off the screen")
        else:
            # xdg-shell has no minimised state to tell; what a client sees is
            # its window no longer active: a configure with no states at all.
            wait_for(lambda: any(states == 0 for *_, states in
                                 self.protocol.configures_after("set_minimized") or []),
                     "the minimised window deactivated")
        self.assertTrue(self.running())

    def test_maximising_takes_the_configured_size_and_restoring_the_old_one(self):
        wait_for(lambda: self.size() == (600, 500), "the window's first size")
        self.press(self.find("push button", "最大化"))

        def maximised():
            sizes = [(width, height) for width, height, _ in
                     self.protocol.configures_after("set_maximized") or [] if width and height]
            return sizes and self.size() == sizes[-1]

        wait_for(lambda: maximised() or not self.running(), "the configured size")
        self.assertTrue(self.running(), "the program ended on maximising")
        width, height = self.size()
        self.assertTrue(600 < width <= OUTPUT[0] and 500 < height <= OUTPUT[1], (width, height))

        self.press(wait_for(lambda: self.find_named("push button", "还原"), "the restore button"))
        wait_for(lambda: self.size() == (600, 500), "the restored size")
        self.assertTrue(self.running())

    def test_a_message_box_is_centred_over_the_window(self):
        window = self.window.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        self.press(self.find("push button", "查询"))  # no number typed: the box says so
        ok = wait_for(lambda: self.find_named("push button", "确定"), "the message box")
        box = ok.parent
        while box is not None and role(box) not in ("alert", "dialog"):
            box = box.parent
        self.assertIsNotNone(box, "the box is no dialog")
        extents = box.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        for start, size, inside_start, inside_size in [
                (window.x, window.width, extents.x, extents.width),
                (window.y, window.height, extents.y, extents.height)]:
            self.assertLessEqual(abs((inside_start + inside_size / 2) - (start + size / 2)), 20)
        self.press(ok)
        wait_for(lambda: self.find_named("push button", "确定") is None, "the box to go")
        self.assertTrue(self.running())

    def test_a_query_shows_the_services_answer(self):
        self.find("text", "快递单号").queryEditableText().setTextContents("YT1919210351806")
        self.press(self.find("push button", "查询"))
        result = self.find("text", "查询结果")
        text = result.queryText()
        wait_for(lambda: "已揽收" in text.getText(0, -1), "the shipment's events in the result")
        self.assertIn(pyatspi.STATE_SHOWING, result.getState().getStates())

    def find_named(self, role_name, name):
        try:
            return self.find(role_name, name)
        except AssertionError:
            return None


if __name__ == "__main__":
    PROGRAM, SERVICE = sys.argv.pop(1), sys.argv.pop(1)
    unittest.main(verbosity=2)
