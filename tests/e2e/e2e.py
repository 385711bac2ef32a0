#!/usr/bin/env python3
"""Whole-program checks: the built program on a real X server with a window manager, driven
only from outside (xdotool input, what X says about its windows, screenshots, the fixture
server's log), as a user would.

Needs DISPLAY (Xvfb + openbox, as scripts/test provides) and LIMS_E2E_PROGRAM, the program built
to open $LIMS_E2E_START_URL.
"""

import http.server
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest

TITLE = "实验室信息管理系统（LIMS）"
PROGRAM = os.environ.get("LIMS_E2E_PROGRAM", "")
SCREEN = (1920, 1080)

# The fixture's start page: a field the page focuses itself, which reports what it holds to the
# server when Enter is pressed in it.
START_PAGE = """<!doctype html>
<html><head><meta charset="utf-8"><title>fixture</title></head>
<body style="background:#fff">
<h1>LIMS fixture</h1>
<input id="field" size="60">
<script>
const field = document.getElementById('field');
field.focus();
field.addEventListener('keydown', (e) => {
  if (e.key === 'Enter')
    fetch('/report', {method: 'POST', body: field.value});
});
fetch('/loaded');
%s
</script>
</body></html>
"""
HANG_SCRIPT = "setTimeout(() => { while (true) {} }, 300);"


class Fixture:
    """The laboratory server's stand-in on 127.0.0.1, in this process."""

    def __init__(self):
        self.mode = "ok"
        self.requests = []
        self.reports = []
        self.lock = threading.Lock()
        fixture = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                with fixture.lock:
                    fixture.requests.append(self.path)
                if self.path == "/loaded":
                    self.send_response(204)
                    self.end_headers()
                    return
                if not self.path.startswith("/DemoQuorLims"):
                    self.send_error(404)
                    return
                if fixture.mode == "error500":
                    self.send_error(500, "Internal Server Error")
                    return
                if fixture.mode == "slow":
                    time.sleep(10)
                script = HANG_SCRIPT if fixture.mode == "hang" else ""
                body = (START_PAGE % script).encode()
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def do_POST(self):
                length = min(int(self.headers.get("Content-Length", 0)), 1 << 20)
                data = self.rfile.read(length).decode("utf-8", "replace")
                with fixture.lock:
                    fixture.reports.append(data)
                self.send_response(204)
                self.end_headers()

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    @property
    def start_url(self):
        return "http://127.0.0.1:%d/DemoQuorLims" % self.server.server_address[1]

    def start_page_requests(self):
        with self.lock:
            return sum(1 for p in self.requests if p.startswith("/DemoQuorLims"))

    def page_loaded(self):
        with self.lock:
            return "/loaded" in self.requests

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def run(*args, check=True):
    return subprocess.run(args, check=check, capture_output=True, text=True, timeout=30).stdout


def wait_for(predicate, timeout=15.0, interval=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return predicate()


def visible_windows(pid):
    """The program's top-level windows that the window manager manages and shows."""
    clients = run("xprop", "-root", "_NET_CLIENT_LIST", check=False)
    found = []
    for wid in (int(w, 16) for w in re.findall(r"0x[0-9a-fA-F]+", clients)):
        owner = run("xprop", "-id", str(wid), "_NET_WM_PID", check=False)
        m = re.search(r"=\s*(\d+)", owner)
        if m and int(m.group(1)) == pid and "IsViewable" in run("xwininfo", "-id", str(wid), check=False):
            found.append(wid)
    return found


def window_name(wid):
    return run("xdotool", "getwindowname", str(wid), check=False).strip()


def net_wm_state(wid):
    return run("xprop", "-id", str(wid), "_NET_WM_STATE", check=False)


def outer_geometry(wid):
    """x, y, width, height of the window as the user sees it, frame included."""
    info = run("xwininfo", "-id", str(wid))
    def field(name):
        return int(re.search(name + r":\s+(-?\d+)", info).group(1))
    x, y = field("Absolute upper-left X"), field("Absolute upper-left Y")
    w, h = field("Width"), field("Height")
    extents = run("xprop", "-id", str(wid), "_NET_FRAME_EXTENTS", check=False)
    m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", extents)
    left, right, top, bottom = (int(v) for v in m.groups()) if m else (0, 0, 0, 0)
    return x - left, y - top, w + left + right, h + top + bottom


def key(*keys, delay=None):
    args = ["xdotool", "key"]
    if delay is not None:
        args += ["--delay", str(delay)]
    run(*args, *keys)


class Program:
    """One run of the program with a fresh home (so a fresh browser profile)."""

    def __init__(self, start_url, extra_env=None):
        self.home = tempfile.mkdtemp(prefix="lims-e2e-")
        env = dict(os.environ, HOME=self.home, LIMS_E2E_START_URL=start_url, **(extra_env or {}))
        if os.geteuid() == 0:
            env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
        self.process = subprocess.Popen([PROGRAM], env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        self.main = wait_for(self._main_window)
        if not self.main:
            self.stop()
            raise AssertionError("the main window did not appear")

    def _main_window(self):
        for wid in visible_windows(self.process.pid):
            if window_name(wid) == TITLE and outer_geometry(wid)[2] >= 1024:
                return wid
        return None

    def other_windows(self):
        return [w for w in visible_windows(self.process.pid) if w != self.main]

    def activate(self):
        run("xdotool", "windowactivate", "--sync", str(self.main), check=False)

    def request_close(self):
        """Alt+F4 on the main window, as the user presses it; returns the dialog's window."""
        self.activate()
        key("alt+F4")
        dialogs = wait_for(self.other_windows, timeout=10)
        assert dialogs, "no confirmation dialog appeared"
        assert len(dialogs) == 1, "more than one dialog: %r" % dialogs
        return dialogs[0]

    def exit_status(self, timeout=15):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def renderer_pids(self):
        # Renderers are forked from the web engine's zygote and keep its command line, so they are
        # told by their parent: a zygote of this program.
        out = run("ps", "-e", "-o", "pid=,ppid=,sid=,args=", check=False)
        rows = [line.split(None, 3) for line in out.splitlines()]
        rows = [r for r in rows if len(r) == 4 and int(r[2]) == self.process.pid]
        zygotes = {int(r[0]) for r in rows if "--type=zygote" in r[3]}
        return [int(r[0]) for r in rows if int(r[1]) in zygotes]

    def stop(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait(10)
        shutil.rmtree(self.home, ignore_errors=True)


class ProgramTestCase(unittest.TestCase):
    def setUp(self):
        self.fixture = Fixture()
        self.program = None

    def tearDown(self):
        if self.program:
            self.program.stop()
        self.fixture.close()

    def start(self, url=None, extra_env=None):
        self.program = Program(url or self.fixture.start_url, extra_env)
        return self.program

    def assert_dialog_shown_properly(self, dialog):
        x, y, w, h = outer_geometry(dialog)
        self.assertEqual(window_name(dialog), TITLE)
        self.assertLessEqual(abs(x - (SCREEN[0] - w) // 2), 1, (x, y, w, h))
        self.assertLessEqual(abs(y - (SCREEN[1] - h) // 2), 1, (x, y, w, h))
        self.assertIn("_NET_WM_STATE_ABOVE", net_wm_state(dialog))

    def close_with_confirmation(self):
        """Alt+F4, Tab, Enter: the confirmed close ends the program with status 0."""
        dialog = self.program.request_close()
        self.assert_dialog_shown_properly(dialog)
        key("Tab", "Return")
        self.assertEqual(self.program.exit_status(), 0)


class Startup(ProgramTestCase):
    def test_maximised_with_title_and_start_page_requested_once(self):
        program = self.start()
        state = wait_for(lambda: "MAXIMIZED_HORZ" in net_wm_state(program.main)
                         and net_wm_state(program.main))
        self.assertIn("_NET_WM_STATE_MAXIMIZED_VERT", state)
        self.assertEqual(window_name(program.main), TITLE)
        wait_for(lambda: self.fixture.start_page_requests() >= 1)
        time.sleep(1)  # a second request, had there been one, would have come by now
        self.assertEqual(self.fixture.start_page_requests(), 1)

    def test_typing_reaches_the_focused_field_without_a_click(self):
        self.start()
        self.assertTrue(wait_for(self.fixture.page_loaded))
        typed = "lab-user-01"
        run("xdotool", "type", typed)
        key("Return")
        self.assertEqual(wait_for(lambda: self.fixture.reports, timeout=10), [typed])

    def test_barcode_scanner_speed_input_arrives_whole(self):
        self.start()
        self.assertTrue(wait_for(self.fixture.page_loaded))
        code = "".join("ABCDEFGHJKLMNPQRSTUVWXYZ0123456789"[(i * 7) % 34] for i in range(1000))
        run("xdotool", "type", "--delay", "2", code)  # 500 characters per second
        key("Return")
        reports = wait_for(lambda: self.fixture.reports, timeout=10)
        self.assertEqual(len(reports[-1]), len(code))
        self.assertEqual(reports[-1], code)


class Closing(ProgramTestCase):
    def test_refuse_then_confirm(self):
        program = self.start()
        dialog = program.request_close()
        self.assert_dialog_shown_properly(dialog)
        key("Return")  # the focus starts on 取消
        self.assertTrue(wait_for(lambda: not program.other_windows(), timeout=5))
        self.assertIsNone(program.exit_status(timeout=1))
        self.close_with_confirmation()

    def test_escape_answers_no_and_shift_enter_yes(self):
        program = self.start()
        program.request_close()
        key("Escape")
        self.assertTrue(wait_for(lambda: not program.other_windows(), timeout=5))
        self.assertIsNone(program.exit_status(timeout=1))
        program.request_close()
        key("shift+Return")
        self.assertEqual(program.exit_status(), 0)


class Geometry(ProgramTestCase):
    def test_restore_bounds_and_minimum_size(self):
        program = self.start()
        wait_for(lambda: "MAXIMIZED_HORZ" in net_wm_state(program.main))
        run("wmctrl", "-ir", hex(program.main), "-b", "remove,maximized_vert,maximized_horz")
        wait_for(lambda: outer_geometry(program.main) == (193, 106, 1024, 768), timeout=5)
        self.assertEqual(outer_geometry(program.main), (193, 106, 1024, 768))
        run("xdotool", "windowsize", str(program.main), "600", "400")
        time.sleep(0.5)  # give the window manager the chance to apply a wrong size
        x, y, w, h = outer_geometry(program.main)
        self.assertGreaterEqual(w, 1024)
        self.assertGreaterEqual(h, 768)


class StatusBar(ProgramTestCase):
    def test_only_the_clock_panel_changes(self):
        program = self.start()
        wait_for(lambda: "MAXIMIZED_HORZ" in net_wm_state(program.main))
        time.sleep(1.5)  # past the first tick
        x, y, w, h = outer_geometry(program.main)
        bar_top = y + h - 25
        shots = []
        for _ in range(2):
            shot = tempfile.mktemp(suffix=".png")
            run("import", "-window", "root", shot)
            shots.append(shot)
            time.sleep(1.2)
        try:
            def differs(left, width):
                crop = "%dx%d+%d+%d" % (width, 21, left, bar_top + 2)
                out = subprocess.run(["compare", "-metric", "AE", "-extract", crop, shots[0], shots[1],
                                      "null:"], capture_output=True, text=True, timeout=30)
                return float(out.stderr.split()[0]) > 0
            self.assertFalse(differs(x + 4, 812), "the fixed panels changed")
            self.assertTrue(differs(x + 824, 200), "the clock did not change")
        finally:
            for shot in shots:
                os.unlink(shot)


class Faults(ProgramTestCase):
    def test_server_down(self):
        with socket_closed_port() as port:
            self.start("http://127.0.0.1:%d/DemoQuorLims" % port)
            self.close_with_confirmation()

    def test_server_error(self):
        self.fixture.mode = "error500"
        self.start()
        wait_for(lambda: self.fixture.start_page_requests() >= 1)
        self.close_with_confirmation()

    def test_server_answers_after_ten_seconds(self):
        self.fixture.mode = "slow"
        self.start()
        wait_for(lambda: self.fixture.start_page_requests() >= 1)
        self.close_with_confirmation()

    def test_page_stuck_in_a_loop_still_closes(self):
        self.fixture.mode = "hang"
        program = self.start()
        self.assertTrue(wait_for(self.fixture.page_loaded))
        time.sleep(1)  # the page's script is spinning by now
        program.activate()
        key("alt+F4")
        self.assertTrue(wait_for(program.other_windows, timeout=1), "no dialog within a second")
        key("Tab", "Return")
        self.assertEqual(program.exit_status(), 0)

    def test_killed_renderer_recovers_with_reload(self):
        program = self.start()
        self.assertTrue(wait_for(self.fixture.page_loaded))
        renderers = wait_for(program.renderer_pids, timeout=10)
        self.assertTrue(renderers)
        for pid in renderers:
            os.kill(pid, signal.SIGKILL)
        time.sleep(0.5)
        program.activate()
        key("F5")
        self.assertTrue(wait_for(lambda: self.fixture.start_page_requests() >= 2, timeout=10))
        self.assertIsNone(program.exit_status(timeout=0.1))


class SessionEnd(ProgramTestCase):
    def test_logoff_query_while_the_dialog_is_open(self):
        manager_program = os.environ.get("LIMS_E2E_SESSION_MANAGER")
        if not manager_program:
            self.skipTest("no session manager program")
        manager = subprocess.Popen([manager_program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   text=True, bufsize=1)
        lines = []
        reader = threading.Thread(target=lambda: [lines.append(l.strip()) for l in manager.stdout],
                                  daemon=True)
        reader.start()
        try:
            address = wait_for(lambda: next((l for l in lines if l.startswith("SESSION_MANAGER=")), None))
            self.assertTrue(address)
            program = self.start(extra_env={"SESSION_MANAGER": address.split("=", 1)[1]})
            self.assertTrue(wait_for(lambda: "registered" in lines))
            dialog = program.request_close()
            manager.stdin.write("shutdown\n")
            manager.stdin.flush()
            # The session's query is refused while the user has not answered; the open dialog
            # stays the only one and stays up.
            self.assertTrue(wait_for(lambda: "shutdown-cancelled" in lines, timeout=10))
            self.assertNotIn("die", lines)
            self.assertEqual(program.other_windows(), [dialog])
            key("Escape")
            self.assertTrue(wait_for(lambda: not program.other_windows(), timeout=5))
            self.assertIsNone(program.exit_status(timeout=1))
            self.close_with_confirmation()
        finally:
            if manager.poll() is None:
                manager.stdin.write("quit\n")
                manager.stdin.close()
                try:
                    manager.wait(5)
                except subprocess.TimeoutExpired:
                    manager.kill()
                    manager.wait(5)
            reader.join(5)
            manager.stdout.close()


class socket_closed_port:
    """A loopback port that nothing listens on for the length of the block."""

    def __enter__(self):
        import socket
        self.sock = socket.socket()
        self.sock.bind(("127.0.0.1", 0))  # bound, never listening: connections are refused
        return self.sock.getsockname()[1]

    def __exit__(self, *exc):
        self.sock.close()


if __name__ == "__main__":
    if not PROGRAM or not os.environ.get("DISPLAY"):
        raise SystemExit("LIMS_E2E_PROGRAM and DISPLAY must be set")
    unittest.main()
