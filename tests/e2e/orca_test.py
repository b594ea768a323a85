"""What the desktop's screen reader, Orca, says while the whole task is done
with the keyboard alone.

Runs in tests/support/orca-session: a window manager, the speech service
with its silent output, Orca with a debug log, then the real program against
a tracking service on loopback. Every utterance is a line
"SPEECH OUTPUT: '...'" of Orca's log; the test presses keys as a user does
and waits for what Orca says after each.

Usage: orca_test.py PROGRAM
"""

import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse

PROGRAM = None
TITLE = "Quonvex快递单号查询软件_Quonvex"
KNOWN_NUMBER = "ZT2000000001"
UNKNOWN_NUMBER = "ZT2000000002"
RESULT_LINES = ["2026-12-01 已签收，签收人：本人", "2026-11-30 派送中"]
TIMEOUT = 20.0
# Long enough for Orca to speak the loading before the answer comes. Orca
# reads a notification's text when it gets to its event: one that lags
# behind by more than this (seen under the sanitizers, still echoing the
# typed number) reads the answer's text for both and speaks it once.
SLOW_ANSWER = 4.0
# A cold start of the browser engine on a loaded machine.
START_TIMEOUT = 60.0
# The voice, when not the default one, follows the text.
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*)'\s*(\{.*\})?$")


class TrackingPages(http.server.BaseHTTPRequestHandler):
    """The result page for the known number, one event a line; for any other
    a page without a result, after a while, as a slow service answers."""

    def do_GET(self):
        query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
        if query.get("nu") == [KNOWN_NUMBER]:
            lines = "\n".join(RESULT_LINES)
            body = f'<html><body><pre id="queryResult2">{lines}</pre></body></html>'
        else:
            threading.Event().wait(SLOW_ANSWER)
            body = "<html><body><p>没有记录</p></body></html>"
        data = body.encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *args):
        pass


class OrcaLog:
    """The utterances of Orca's debug log, read as they are written."""

    def __init__(self, path):
        self.path = path
        self.said = []
        self.read_to = 0

    def update(self):
        if not os.path.exists(self.path):
            return
        with open(self.path, encoding="utf-8", errors="replace") as log:
            log.seek(self.read_to)
            text = log.read()
        complete = text[: text.rfind("\n") + 1]
        self.read_to += len(complete.encode("utf-8", errors="replace"))
        for line in complete.splitlines():
            match = SPEECH.search(line)
            if match:
                self.said.append(match.group(1))

    def wait_for(self, pattern, since, timeout=TIMEOUT):
        """The first utterance from index `since` on that matches."""
        expression = re.compile(pattern)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            self.update()
            for utterance in self.said[since:]:
                if expression.search(utterance):
                    return utterance
            time.sleep(0.05)
        raise AssertionError(f"Orca never said /{pattern}/; it said {self.said[since:]}")


def start_desktop(home):
    """Openbox, the speech service with its silent output, and Orca with a
    line-buffered debug log, which also speaks an item's place in its list."""
    speechd = os.path.join(os.environ["XDG_CONFIG_HOME"], "speech-dispatcher")
    os.makedirs(speechd, exist_ok=True)
    with open(os.path.join(speechd, "speechd.conf"), "w") as conf:
        conf.write('AddModule "dummy" "sd_dummy" ""\nDefaultModule dummy\n')
    prefs = os.path.join(home, "orca-prefs")
    os.makedirs(prefs, exist_ok=True)
    with open(os.path.join(prefs, "orca-customizations.py"), "w") as custom:
        custom.write("from orca import debug, settings\n"
                     "debug.debugFile.reconfigure(line_buffering=True)\n"
                     "settings.enablePositionSpeaking = True\n")
    subprocess.run(["gsettings", "set", "org.gnome.desktop.interface", "toolkit-accessibility",
                    "true"], check=True, stderr=subprocess.DEVNULL)
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    log = os.path.join(home, "orca.log")
    processes = [subprocess.Popen(["openbox"], **quiet),
                 subprocess.Popen(["speech-dispatcher", "--run-single", "--timeout", "0"], **quiet),
                 subprocess.Popen(["orca", "--replace", "-u", prefs, "--debug-file=" + log],
                                  **quiet)]
    return processes, OrcaLog(log)


class TheTaskAsOrcaSpeaksIt(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.desktop, self.orca = start_desktop(self.folder.name)
        self.orca.wait_for(r"^Screen reader on\.$", 0, START_TIMEOUT)
        self.service = http.server.ThreadingHTTPServer(("127.0.0.1", 0), TrackingPages)
        threading.Thread(target=self.service.serve_forever, daemon=True).start()
        env = dict(os.environ,
                   COURIER_QUERY_SERVICE=f"http://127.0.0.1:{self.service.server_port}")
        self.program = subprocess.Popen([PROGRAM], env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def tearDown(self):
        self.program.kill()
        self.program.wait()
        self.service.shutdown()
        self.service.server_close()
        for process in reversed(self.desktop):
            process.kill()
            process.wait()
        self.folder.cleanup()

    def press(self, *keys):
        """Presses the keys; returns where in the log what they make Orca say begins."""
        self.orca.update()
        since = len(self.orca.said)
        for key in keys:
            subprocess.run(["xdotool", "key", "--delay", "150", key], check=True)
        return since

    def type(self, text):
        self.orca.update()
        since = len(self.orca.said)
        subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)
        return since

    def hears(self, since, *patterns):
        return [self.orca.wait_for(pattern, since) for pattern in patterns]

    def test_from_start_to_result_by_keyboard(self):
        self.orca.wait_for(re.escape(TITLE) + " frame", 0, START_TIMEOUT)

        # The couriers: one count of them whichever way Orca counts, the
        # list's items or an item's place among them.
        since = self.press("Tab", "Tab")
        _, count, _, place = self.hears(since, r"^快递公司\.$", r"^List with \d+ items\.$",
                                        r"^圆通快递\.$", r"^\d+ of \d+\.$")
        couriers = re.search(r"\d+", count).group()
        first = int(place.split()[0])
        self.assertEqual(place, f"{first} of {couriers}.")
        self.hears(self.press("Right"), r"^中通快递\.$", rf"^{first + 1} of {couriers}\.$")
        self.hears(self.press("space"), r"^selected$", r"^notification 已选 中通快递\.?$")

        # Back in the number box, a number and Enter: loading, then the
        # result's first line, unasked, while the focus stays in the box.
        self.hears(self.press("shift+Tab", "shift+Tab"), r"^请输入 中通快递 单号$")
        self.type(KNOWN_NUMBER)
        self.hears(self.press("Return"), "^notification " + re.escape(RESULT_LINES[0]) + r"\.?$")

        # A number without a result from a slow service: loading, then the
        # red message and the status line's cause.
        self.press("ctrl+a")
        self.type(UNKNOWN_NUMBER)
        message = "查询不到结果，请您确认输入的是 中通快递 订单号！ 页面中没有查询结果"
        self.hears(self.press("Return"), r"^notification 正在加载。。。\.?$",
                   "^notification " + re.escape(message) + r"\.?$")

        # Esc closes the result view; the couriers are there again, the
        # chosen one selected.
        self.hears(self.press("Escape", "Tab", "Tab"), r"^中通快递\.$",
                   rf"^{first + 1} of {couriers}\.$")


if __name__ == "__main__":
    for tool in ("xdotool",):
        if not shutil.which(tool):
            print(f"orca_test: no {tool}", file=sys.stderr)
            sys.exit(77)
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
