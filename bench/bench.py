#!/usr/bin/env python3
"""Start-up, memory, idle-CPU, close and typing benchmark: QuorLimsDemo against Chromium's app
mode on the same page, in the same run, under one Xvfb with a window manager.

Usually started by bench/run, which installs and builds first. The server serves the page of
bench/page/ at /DemoQuorLims on 127.0.0.1; the program must have been built with its start page
there. Every time is taken by this process's monotonic clock: a candidate's start is the moment
it is spawned, its load event is the moment the page's beacon reaches the server.
"""

import argparse
import datetime
import json
import os
import platform
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HERE = os.path.dirname(os.path.abspath(__file__))
PAGE_DIR = os.path.join(HERE, "page")
PAGE_ROOT = "/DemoQuorLims"
APP_TITLE = "实验室信息管理系统（LIMS）"
CLK_TCK = os.sysconf("SC_CLK_TCK")
SCAN_LENGTH = 1000
SCAN_CHARS = "0123456789ABCDEFGHJKLMNPQRSTUVWXYZ"
IDLE_SECONDS = 10.0
SETTLE_AFTER_LOAD = 3.0


def sample_data():
    """500 deterministic samples, as the page's samples.js (about 100 KB)."""
    rng = random.Random(20261211)
    types = ["血清", "血浆", "全血", "尿液", "脑脊液", "痰液"]
    tests = [("总胆固醇", "mmol/L", 2.5, 7.5), ("血糖", "mmol/L", 3.0, 12.0),
             ("血红蛋白", "g/L", 90, 180), ("白蛋白", "g/L", 28, 55),
             ("白细胞计数", "个/μL", 3000, 12000), ("肌酐", "μmol/L", 40, 180)]
    statuses = ["已登记", "已接收", "检测中", "已审核", "已报告"]
    depts = ["生化室", "免疫室", "临检室", "微生物室", "分子室"]
    analysts = ["张伟", "王芳", "李娜", "刘洋", "陈静", "杨磊"]
    samples = []
    for i in range(1, 501):
        test, unit, low, high = rng.choice(tests)
        status = rng.choice(statuses)
        value = None if status in ("已登记", "已接收") else round(rng.uniform(low, high), 2)
        samples.append({
            "id": f"S-{i:06d}",
            "barcode": "".join(rng.choice(SCAN_CHARS) for _ in range(12)),
            "type": rng.choice(types), "test": test, "unit": unit, "value": value,
            "status": status, "patient": f"P-{rng.randrange(100000, 999999)}",
            "dept": rng.choice(depts),
            "received": f"2026-12-{rng.randrange(1, 11):02d} {rng.randrange(7, 19):02d}:"
                        f"{rng.randrange(60):02d}",
            "priority": "急诊" if rng.random() < 0.08 else "常规",
            "analyst": rng.choice(analysts),
            "note": rng.choice(["", "", "溶血", "脂血", "复查", "标本量少"]),
        })
    body = json.dumps(samples, ensure_ascii=False, indent=1)
    return ("// Samples of the register, as the laboratory system would embed them.\n"
            f"const SAMPLES = {body};\n").encode("utf-8")


class Events:
    """What the page reported, stamped on arrival."""

    def __init__(self):
        self._cond = threading.Condition()
        self._items = []

    def reset(self):
        with self._cond:
            self._items.clear()

    def add(self, name, stamp, data):
        with self._cond:
            self._items.append((name, stamp, data))
            self._cond.notify_all()

    def wait(self, name, timeout):
        deadline = time.monotonic() + timeout
        with self._cond:
            while True:
                for item in self._items:
                    if item[0] == name:
                        return item
                remaining = deadline - time.monotonic()
                if remaining <= 0:
                    return None
                self._cond.wait(remaining)


def make_server(port, events):
    with open(os.path.join(PAGE_DIR, "index.html"), "rb") as f:
        index = f.read()
    with open(os.path.join(PAGE_DIR, "app.js"), "rb") as f:
        app_js = f.read()
    files = {
        PAGE_ROOT: ("text/html; charset=utf-8", index),
        PAGE_ROOT + "/": ("text/html; charset=utf-8", index),
        PAGE_ROOT + "/app.js": ("text/javascript; charset=utf-8", app_js),
        PAGE_ROOT + "/samples.js": ("text/javascript; charset=utf-8", sample_data()),
    }

    class Handler(BaseHTTPRequestHandler):
        def _event(self):
            stamp = time.monotonic()
            url = urllib.parse.urlsplit(self.path)
            if url.path != "/bench/event":
                return False
            query = urllib.parse.parse_qs(url.query)
            length = min(int(self.headers.get("Content-Length") or 0), 1 << 20)
            body = self.rfile.read(length).decode("utf-8", "replace") if length else ""
            events.add(query.get("ev", [""])[0], stamp,
                       {"page_ms": query.get("t", [""])[0], "body": body})
            self.send_response(204)
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            return True

        def do_GET(self):
            if self._event():
                return
            entry = files.get(urllib.parse.urlsplit(self.path).path)
            if entry is None:
                self.send_error(404)
                return
            kind, data = entry
            self.send_response(200)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(data)

        def do_POST(self):
            if not self._event():
                self.send_error(404)

        def log_message(self, *args):
            pass

    server = ThreadingHTTPServer(("127.0.0.1", port), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def read_stat(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            text = f.read()
    except OSError:
        return None
    fields = text[text.rindex(")") + 2:].split()
    # fields[0] is field 3 (state) of proc(5).
    return {"ppid": int(fields[1]),
            "cpu": sum(int(x) for x in fields[11:15]),  # utime stime cutime cstime
            "start": int(fields[19])}


def process_tree(root):
    children = {}
    for name in os.listdir("/proc"):
        if name.isdigit():
            st = read_stat(int(name))
            if st:
                children.setdefault(st["ppid"], []).append(int(name))
    tree, todo = [], [root]
    while todo:
        pid = todo.pop()
        if pid in tree:
            continue
        tree.append(pid)
        todo.extend(children.get(pid, []))
    return tree


def tree_cpu_ms(root):
    """CPU of the tree so far: live processes plus the children they have reaped."""
    total = 0
    for pid in process_tree(root):
        st = read_stat(pid)
        if st:
            total += st["cpu"]
    return total * 1000.0 / CLK_TCK


def cpu_ms(pids):
    total = 0
    for pid in pids:
        st = read_stat(pid)
        if st:
            total += st["cpu"]
    return total * 1000.0 / CLK_TCK


def tree_memory_mb(root):
    """PSS and private dirty memory summed over the tree, and the number of processes. PSS
    divides every page among all processes on the machine that map it, so it drops while other
    programs map the same libraries; clean private pages (library code only this tree touches)
    do the same. Private dirty pages are what the tree itself wrote, whoever else runs."""
    pss_kb, dirty_kb, count, roles = 0, 0, 0, {}
    for pid, (role, _) in per_process_cpu(root).items():
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                fields = dict(line.split(":", 1) for line in f if ":" in line)
        except OSError:
            continue
        if "Pss" not in fields:
            continue
        count += 1
        pss_kb += int(fields["Pss"].split()[0])
        dirty_kb += int(fields.get("Private_Dirty", "0 kB").split()[0])
        roles[role] = roles.get(role, 0) + int(fields["Pss"].split()[0]) / 1024.0
    return pss_kb / 1024.0, dirty_kb / 1024.0, count, roles


class Display:
    """One Xvfb with openbox on the first free display of the given numbers."""

    def __init__(self, numbers, logdir):
        self.procs = []
        for n in numbers:
            if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
                break
        else:
            sys.exit(f"bench: no free X display among {numbers}")
        self.name = f":{n}"
        log = open(os.path.join(logdir, "xvfb.log"), "w")
        self.xvfb = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "1920x1080x24",
                                      "-nolisten", "tcp", "-noreset"],
                                     stdout=log, stderr=subprocess.STDOUT)
        self.procs.append(self.xvfb)
        if not wait_until(lambda: os.path.exists(f"/tmp/.X11-unix/X{n}"), 10):
            self.close()
            sys.exit("bench: Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=self.name)
        self.wm = subprocess.Popen(["openbox"], env=self.env, stdout=log, stderr=subprocess.STDOUT)
        self.procs.append(self.wm)
        ok = wait_until(lambda: "window id" in self.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]), 10)
        if not ok:
            self.close()
            sys.exit("bench: openbox did not start")

        self.spy = ClientListSpy(self.env)
        self.procs.append(self.spy.proc)

    def run(self, args):
        return subprocess.run(args, env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True).stdout

    def visible_windows(self, pid):
        out = self.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)])
        return [int(w) for w in out.split()]

    def window_name(self, window):
        return self.run(["xdotool", "getwindowname", str(window)]).strip()

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def pids(self):
        return [self.xvfb.pid, self.wm.pid]

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()


class ClientListSpy:
    """Stamps every change of the window manager's list of managed windows as it happens: the
    manager adds a window to the list as it takes it on, right before mapping its frame. Polling
    with xdotool costs a process start per look, tens of milliseconds on a loaded machine."""

    def __init__(self, env):
        self.proc = subprocess.Popen(["xprop", "-spy", "-root", "_NET_CLIENT_LIST"], env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True, bufsize=1)
        self._cond = threading.Condition()
        self._added = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        previous = set()
        for line in self.proc.stdout:
            stamp = time.monotonic()
            ids = {int(w, 16) for w in line.replace(",", " ").split() if w.startswith("0x")}
            with self._cond:
                # X reuses a gone client's window ids for the next client: only additions count.
                self._added.append((stamp, ids - previous))
                self._cond.notify_all()
            previous = ids

    def wait_added(self, since, exclude, timeout):
        """The first window added to the list after `since` that is not in `exclude`."""
        deadline = time.monotonic() + timeout
        with self._cond:
            while True:
                for stamp, added in self._added:
                    if stamp >= since and added - exclude:
                        return stamp, sorted(added - exclude)[0]
                remaining = deadline - time.monotonic()
                if remaining <= 0:
                    return None, None
                self._cond.wait(remaining)


def wait_until(predicate, timeout, interval=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(interval)
    return False


def poll_windows(display, pid, accept, timeout, interval=0.005):
    """Polls the pid's visible windows until accept(windows) is true."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        windows = display.visible_windows(pid)
        if accept(windows):
            return time.monotonic(), windows
        time.sleep(interval)
    return None, []


def wait_mapped(display, pid, since, timeout, exclude=()):
    """The first window of pid the window manager took on after `since`, with the time it did:
    stamped by the spy, confirmed as the pid's and visible by xdotool."""
    exclude = set(exclude)
    deadline = since + timeout
    while True:
        stamp, window = display.spy.wait_added(since, exclude, deadline - time.monotonic())
        if stamp is None:
            return None, None
        if poll_windows(display, pid, lambda w: window in w, 2, 0.02)[0] is not None:
            return stamp, window
        exclude.add(window)


def candidate_env(display, home):
    env = {k: v for k, v in os.environ.items()
           if k in ("PATH", "LANG", "LC_ALL", "LANGUAGE", "USER", "LOGNAME", "TZ")}
    runtime = os.path.join(home, ".runtime")
    os.makedirs(runtime, mode=0o700)
    env.update(HOME=home, DISPLAY=display.name, XDG_RUNTIME_DIR=runtime)
    return env


def program_command(args, url, home):
    env_extra = {}
    if os.geteuid() == 0:
        # Chromium refuses to run as root with its sandbox on.
        env_extra["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    return [args.program], env_extra


def variant_command(args, url, home):
    command, env_extra = program_command(args, url, home)
    return [args.variant], env_extra


def chromium_command(args, url, home):
    profile = os.path.join(home, "chromium-profile")
    command = [args.chromium, f"--app={url}", f"--user-data-dir={profile}", "--no-sandbox",
               "--disable-gpu", "--no-first-run", "--no-default-browser-check",
               "--disable-background-networking", "--disable-component-update",
               "--disable-sync", "--disable-quic", "--password-store=basic", "--start-maximized"]
    return command, {}


def floor_command(args, url, home):
    return [args.floor], {}


CANDIDATES = {
    "program": ("QuorLimsDemo", program_command),
    "variant": ("variant", variant_command),
    "chromium": ("chromium --app", chromium_command),
    "floor": ("floor: widgets window, no web engine", floor_command),
}


def stop_tree(proc, logfile):
    # Start times tell our processes from later ones that might reuse their ids.
    started = {pid: st["start"] for pid in process_tree(proc.pid) if (st := read_stat(pid))}
    if proc.poll() is None:
        proc.terminate()
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        pass
    for pid, start in started.items():
        st = read_stat(pid)
        if st is not None and st["start"] == start:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
    if proc.poll() is None:
        proc.kill()
        proc.wait()
    logfile.close()


def scan_text(run_index):
    rng = random.Random(1000 + run_index)
    return "".join(rng.choice(SCAN_CHARS) for _ in range(SCAN_LENGTH))


def chars_lost(sent, received):
    """Characters of sent that are missing from received, matched in order."""
    i = 0
    for ch in received:
        if i < len(sent) and sent[i] == ch:
            i += 1
    matched = i
    return len(sent) - matched


def run_once(kind, index, args, display, events, logdir):
    label, make_command = CANDIDATES[kind]
    url = f"http://127.0.0.1:{args.port}{PAGE_ROOT}"
    home = tempfile.mkdtemp(prefix=f"bench-{kind}-", dir=args.tmp)
    env = candidate_env(display, home)
    command, extra = make_command(args, url, home)
    env.update(extra)
    result = {"candidate": kind, "index": index}
    log = open(os.path.join(logdir, f"{index:02d}-{kind}.log"), "w")
    display.xdotool("mousemove", "960", "700")
    events.reset()
    t0 = time.monotonic()
    proc = subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT,
                            cwd=home, start_new_session=True)
    try:
        is_web = kind != "floor"
        mapped, main_window = wait_mapped(display, proc.pid, t0, 30)
        if mapped is None:
            result["error"] = "no window mapped"
            return result
        result["mapped_ms"] = (mapped - t0) * 1000
        if is_web:
            loaded = events.wait("load", 30)
            if loaded is None:
                result["error"] = "no load event"
                return result
            result["load_ms"] = (loaded[1] - t0) * 1000
            result["page_load_ms"] = loaded[2]["page_ms"]
            settle_from = loaded[1]
        else:
            settle_from = mapped
        display.xdotool("windowactivate", "--sync", str(main_window))

        time.sleep(max(0.0, settle_from + SETTLE_AFTER_LOAD - time.monotonic()))
        (result["pss_mb"], result["dirty_mb"], result["processes"],
         result["pss_mb_by_role"]) = tree_memory_mb(proc.pid)

        time.sleep(1.0)
        measure_idle(proc, display, result, "idle_cpu_ms")

        if is_web:
            events.reset()
            display.xdotool("key", "Tab")
            if events.wait("focus", 5) is None:
                result["error"] = "the barcode field did not take the focus"
                return result
            time.sleep(1.0)
            measure_idle(proc, display, result, "focus_cpu_ms")

            text = scan_text(index)
            events.reset()
            start = time.monotonic()
            display.xdotool("type", "--delay", str(args.type_delay), text)
            result["type_rate"] = SCAN_LENGTH / (time.monotonic() - start)
            display.xdotool("key", "Return")
            scanned = events.wait("scan", 15)
            received = scanned[2]["body"] if scanned else ""
            result["chars_lost"] = chars_lost(text, received)
            result["chars_in_order"] = received == text
            result["chars_received"] = len(received)

        if kind != "chromium":
            time.sleep(0.5)
            measure_close(result, proc, display, main_window)
        return result
    finally:
        stop_tree(proc, log)
        shutil.rmtree(home, ignore_errors=True)


def process_role(pid):
    """A process's program name and Chromium --type, e.g. "QtWebEngineProcess renderer"."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            argv = f.read().decode("utf-8", "replace").rstrip("\0").split("\0")
    except OSError:
        return "?"
    if len(argv) == 1:
        # Chromium's children rewrite their command line into one space-separated string.
        argv = argv[0].split(" ")
    role = os.path.basename(argv[0])
    for arg in argv[1:]:
        if arg.startswith("--type="):
            role += " " + arg[len("--type="):]
        elif arg.startswith("--utility-sub-type="):
            role += " " + arg[len("--utility-sub-type="):].split(".")[-1]
    return role


def per_process_cpu(root):
    processes = {pid: (process_role(pid), read_stat(pid)) for pid in process_tree(root)}
    for pid, (role, st) in list(processes.items()):
        # A renderer forked by the zygote keeps the zygote's command line.
        parent = processes.get(st["ppid"]) if st else None
        if role.endswith(" zygote") and parent and parent[0].endswith(" zygote"):
            processes[pid] = (role[:-len("zygote")] + "renderer", st)
    return processes


def thread_runtime_ns(root):
    """Nanoseconds on a CPU of every live thread of the tree (the scheduler's own counters,
    finer than the 10 ms ticks of utime and stime, but blind to threads that have exited)."""
    times = {}
    for pid in process_tree(root):
        try:
            tids = os.listdir(f"/proc/{pid}/task")
        except OSError:
            continue
        for tid in tids:
            try:
                with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                    times[int(tid)] = int(f.read().split()[0])
            except (OSError, ValueError, IndexError):
                pass
    return times


def measure_idle(proc, display, result, key):
    """CPU of the candidate's tree and of the X server with its WM over IDLE_SECONDS; keeps a
    breakdown by process role in result[key + "_by_role"]."""
    x_pids = display.pids()
    before, x_start = per_process_cpu(proc.pid), cpu_ms(x_pids)
    start, threads = tree_cpu_ms(proc.pid), thread_runtime_ns(proc.pid)
    time.sleep(IDLE_SECONDS)
    result[key] = tree_cpu_ms(proc.pid) - start
    result[key.replace("_ms", "_sched_ms")] = sum(
        ns - threads.get(tid, 0) for tid, ns in thread_runtime_ns(proc.pid).items()) / 1e6
    result[key.replace("_cpu", "_x_cpu")] = cpu_ms(x_pids) - x_start
    roles = {}
    for pid, (role, st) in per_process_cpu(proc.pid).items():
        was = before.get(pid, (role, None))[1]
        if st:
            spent = (st["cpu"] - (was["cpu"] if was else 0)) * 1000.0 / CLK_TCK
            roles[role] = roles.get(role, 0) + spent
    result[key + "_by_role"] = {k: round(v) for k, v in sorted(roles.items())}


def measure_close(result, proc, display, main_window):
    """Alt+F4 on the main window, the first close request of the process; the confirmation
    dialog is the pid's second visible window."""
    display.xdotool("windowactivate", "--sync", str(main_window))
    before = set(display.visible_windows(proc.pid))
    # Timed from xdotool's spawn: its start-up (a few ms on an idle machine) counts against the
    # program, as does the window manager's handling of the key.
    t0 = time.monotonic()
    display.xdotool("key", "--delay", "0", "alt+F4")
    shown, dialog = wait_mapped(display, proc.pid, t0, 5, before)
    if shown is None:
        result["close_note"] = ("no dialog; the program exited" if proc.poll() is not None
                                else "no dialog within 5 s")
        return
    result["close_ms"] = (shown - t0) * 1000
    result["dialog_title"] = display.window_name(dialog)
    display.xdotool("key", "Escape")
    gone, _ = poll_windows(display, proc.pid, lambda w: dialog not in w, 5, 0.02)
    result["dialog_no_keeps_running"] = gone is not None and proc.poll() is None


FIGURES = [
    # key, label, unit, digits, goal (ratio to chromium or absolute), goal text
    ("load_ms", "start → page load event", "ms", 0, ("ratio", 0.7), "≤ 0.7× chromium"),
    ("mapped_ms", "start → main window mapped", "ms", 0, None, ""),
    ("pss_mb", "process-tree PSS 3 s after load", "MB", 0, ("ratio", 0.75), "≤ 0.75× chromium"),
    ("dirty_mb", "process-tree private dirty memory 3 s after load", "MB", 0, None, ""),
    ("idle_cpu_ms", "idle CPU per 10 s, clock running, no focused field", "ms", 0,
     ("abs", 20), "≤ 20 ms"),
    ("idle_cpu_sched_ms", "the same from the scheduler's per-thread counters", "ms", 1, None, ""),
    ("focus_cpu_ms", "idle CPU per 10 s, clock running, focused text field", "ms", 0,
     ("ratio", 0.5), "≤ 0.5× chromium"),
    ("focus_cpu_sched_ms", "the same from the scheduler's per-thread counters", "ms", 1, None, ""),
    ("close_ms", "close request → confirmation dialog mapped", "ms", 0, ("abs", 50), "≤ 50 ms"),
    ("chars_lost", f"characters lost of {SCAN_LENGTH} typed", "", 0, ("abs", 0), "0"),
    ("idle_x_cpu_ms", "X server + WM CPU per 10 s idle, no focused field", "ms", 0, None, ""),
    ("focus_x_cpu_ms", "X server + WM CPU per 10 s idle, focused field", "ms", 0, None, ""),
    ("processes", "processes in the tree", "", 0, None, ""),
    ("type_rate", "typing rate achieved (xdotool)", "chars/s", 0, None, ""),
]


def summarise(values, digits):
    if not values:
        return None, "—"
    med = statistics.median(values)
    fmt = f"{{:.{digits}f}}"
    text = fmt.format(med)
    if len(values) > 1:
        text += f" ({fmt.format(min(values))}–{fmt.format(max(values))})"
    return med, text


def table(results, kinds):
    """One row per figure; a ratio to Chromium and the goal for the program and, when it ran,
    the variant build."""
    judged = [k for k in ("program", "variant") if k in kinds]
    header = (["figure"] + [CANDIDATES[k][0] for k in kinds]
              + [f"{'program' if k == 'program' else 'variant'} ÷ chromium" for k in judged]
              + ["goal"] + [f"met{' (variant)' if k == 'variant' else ''}" for k in judged])
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    for key, label, unit, digits, goal, goal_text in FIGURES:
        medians, cells = {}, []
        for kind in kinds:
            values = [r[key] for r in results if r["candidate"] == kind and key in r]
            medians[kind], text = summarise(values, digits)
            cells.append(text)
        if all(m is None for m in medians.values()):
            continue
        ratios, mets = [], []
        for kind in judged:
            ratio = None
            if medians.get(kind) is not None and medians.get("chromium"):
                ratio = medians[kind] / medians["chromium"]
            met = ""
            if goal and medians.get(kind) is not None:
                if goal[0] == "ratio" and ratio is not None:
                    met = "yes" if ratio <= goal[1] else "no"
                elif goal[0] == "abs":
                    met = "yes" if medians[kind] <= goal[1] else "no"
            ratios.append(f"{ratio:.2f}" if ratio is not None else "—")
            mets.append(met)
        name = f"{label} ({unit})" if unit else label
        lines.append("| " + " | ".join([name] + cells + ratios + [goal_text] + mets) + " |")
    return "\n".join(lines)


ROLE_KEYS = ("pss_mb_by_role", "idle_cpu_ms_by_role", "focus_cpu_ms_by_role")


def role_table(results, kinds):
    """Medians per process role: where each candidate's memory and idle time go."""
    lines = ["| candidate | process | PSS (MB) | idle CPU, no focused field (ms / 10 s) "
             "| idle CPU, focused field (ms / 10 s) |", "|---|---|---|---|---|"]
    for kind in kinds:
        runs = [r for r in results if r["candidate"] == kind]
        roles = sorted({role for r in runs for key in ROLE_KEYS for role in r.get(key, {})})
        for role in roles:
            cells = []
            for key in ROLE_KEYS:
                values = [r[key].get(role, 0) for r in runs if key in r]
                cells.append(f"{statistics.median(values):.0f}" if values else "—")
            lines.append(f"| {CANDIDATES[kind][0]} | {role} | " + " | ".join(cells) + " |")
    return "\n".join(lines)


def machine_text():
    model = "unknown CPU"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        mem_kb = int(f.readline().split()[1])
    load = os.getloadavg()
    return (f"{os.cpu_count()} CPUs ({model}), {mem_kb / 1048576:.1f} GiB memory, "
            f"{platform.system()} {platform.release()}; load average at the start "
            f"{load[0]:.2f} {load[1]:.2f} {load[2]:.2f}")


def version_of(command):
    try:
        return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              text=True, timeout=30).stdout.strip().splitlines()[-1]
    except (OSError, IndexError, subprocess.TimeoutExpired):
        return "unknown"


def report(results, kinds, args, started, machine):
    counted = [r for r in results if r["index"] > 0]
    problems = [f"run {r['index']} {r['candidate']}: {r['error']}" for r in results if "error" in r]
    problems += [f"run {r['index']} {r['candidate']}: {r['close_note']}"
                 for r in results if "close_note" in r]
    program = [r for r in counted if r["candidate"] == "program"]
    titles = sorted({r["dialog_title"] for r in program if "dialog_title" in r})
    problems += [f"the confirmation dialog's title was {t!r}, not {APP_TITLE!r}"
                 for t in titles if t != APP_TITLE]
    kept = [r.get("dialog_no_keeps_running") for r in program if "close_ms" in r]
    n = len([r for r in counted if r["candidate"] == "program"])
    text = [
        f"Run of {started:%Y-%m-%d %H:%M} UTC: {n} counted runs per candidate after one warm-up, "
        f"interleaved {' '.join(CANDIDATES[k][0].split(':')[0] for k in kinds)}; medians "
        "with the range in brackets.",
        "",
        f"Machine: {machine}.",
        f"Program: QuorLimsDemo {args.label or '(build not named)'}, Release. "
        f"Chromium: {version_of([args.chromium, '--version'])}.",
        "",
        table(counted, kinds),
        "",
        "By process (medians; CPU of processes that exited during the window is left out):",
        "",
        role_table(counted, kinds),
        "",
    ]
    if titles:
        text.append(f"Confirmation dialog title seen: {', '.join(titles)}; Escape answered no "
                    f"and the program kept running in {sum(1 for k in kept if k)} of {len(kept)} "
                    "runs.")
    if problems:
        text.append("Problems: " + "; ".join(problems) + ".")
    return "\n".join(text).rstrip() + "\n"


BEGIN, END = "<!-- bench:begin -->", "<!-- bench:end -->"


def write_doc(path, body):
    block = f"{BEGIN}\n{body}{END}"
    try:
        with open(path, encoding="utf-8") as f:
            old = f.read()
    except FileNotFoundError:
        old = "# Performance\n\n## Latest run of bench/run\n\n" + BEGIN + END + "\n"
    if BEGIN in old and END in old:
        new = old[:old.index(BEGIN)] + block + old[old.index(END) + len(END):]
    else:
        new = old.rstrip() + "\n\n## Latest run of bench/run\n\n" + block + "\n"
    with open(path, "w", encoding="utf-8") as f:
        f.write(new)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="QuorLimsDemo built for this server")
    parser.add_argument("--floor", help="the floor program (widgets window, no web engine)")
    parser.add_argument("--variant", help="another build of the program to run beside it, "
                        "e.g. with a change under study")
    parser.add_argument("--variant-label", default="variant", help="its column's name")
    parser.add_argument("--chromium", default="chromium")
    parser.add_argument("--port", type=int, default=18931)
    parser.add_argument("--runs", type=int, default=5, help="counted runs per candidate")
    parser.add_argument("--displays", default="31,32,33,34", help="X display numbers to try")
    parser.add_argument("--type-delay", type=int, default=0, help="xdotool type delay in ms")
    parser.add_argument("--out", required=True, help="folder for logs and results.json")
    parser.add_argument("--doc", help="markdown file whose bench block gets the table")
    parser.add_argument("--only", help="comma-separated candidates (program,chromium,floor)")
    parser.add_argument("--tmp", default=None, help="where fresh HOMEs are made")
    parser.add_argument("--label", default="", help="which build of the program this is")
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)
    if args.variant:
        args.variant = os.path.abspath(args.variant)
    if args.floor:
        args.floor = os.path.abspath(args.floor)

    kinds = (["program"] + (["variant"] if args.variant else []) + ["chromium"]
             + (["floor"] if args.floor else []))
    if args.variant:
        CANDIDATES["variant"] = (args.variant_label, variant_command)
    if args.only:
        kinds = [k for k in kinds if k in args.only.split(",")]
    started = datetime.datetime.now(datetime.timezone.utc)
    logdir = os.path.join(args.out, started.strftime("%Y%m%d-%H%M%S"))
    os.makedirs(logdir)
    machine = machine_text()
    events = Events()
    try:
        server = make_server(args.port, events)
    except OSError as e:
        sys.exit(f"bench: cannot serve on 127.0.0.1:{args.port}: {e}")
    display = Display([int(n) for n in args.displays.split(",")], logdir)
    results = []

    def interrupted(*_):
        raise KeyboardInterrupt

    signal.signal(signal.SIGTERM, interrupted)
    try:
        print(f"bench: display {display.name}, logs in {logdir}", flush=True)
        for index in range(args.runs + 1):
            for kind in kinds:
                r = run_once(kind, index, args, display, events, logdir)
                results.append(r)
                shown = {k: (round(v) if isinstance(v, float) else v) for k, v in r.items()
                         if not k.endswith("_by_role")}
                print(("warm-up " if index == 0 else "") + json.dumps(shown, ensure_ascii=False),
                      flush=True)
    except KeyboardInterrupt:
        print("bench: interrupted; reporting the runs so far", file=sys.stderr)
    finally:
        display.close()
        server.shutdown()
        with open(os.path.join(logdir, "results.json"), "w") as f:
            json.dump(results, f, ensure_ascii=False, indent=1)

    body = report(results, kinds, args, started, machine)
    print()
    print(body)
    if args.doc and any(r["index"] > 0 for r in results):
        write_doc(args.doc, body)
        print(f"bench: table written to {args.doc}")


if __name__ == "__main__":
    main()
