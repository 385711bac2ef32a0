#!/usr/bin/env python3
"""Idle CPU of the whole process tree over a fixed 10 s, the main window's clock running against
stopped (and against a stock status-bar label), under Xvfb with openbox.

    bench/idleclock/run.py [--runs 3] [--display 84] [--build DIR] [--url URL] [--gl]

Builds bench/idleclock into DIR (default build-idleclock), then runs the modes interleaved.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SETTLE = 4.0
IDLE = 10.0


def tree_cpu(root_pid):
    """CPU seconds run so far by every thread of root_pid and all its descendants, from the
    scheduler's nanosecond counters (/proc/PID/task/TID/schedstat)."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                ppid = int(f.read().rsplit(")", 1)[1].split()[1])
        except OSError:
            continue
        children.setdefault(ppid, []).append(int(entry))
    total, todo = 0, [root_pid]
    while todo:
        pid = todo.pop()
        todo.extend(children.get(pid, []))
        try:
            tasks = os.listdir(f"/proc/{pid}/task")
        except OSError:
            continue
        for tid in tasks:
            try:
                with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                    total += int(f.read().split()[0])
            except OSError:
                pass
    return total / 1e9


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--display", type=int, default=84)
    parser.add_argument("--build", default=os.path.join(ROOT, "build-idleclock"))
    parser.add_argument("--url", default="data:text/html,<h1>Idle</h1><p>Nothing moves here.</p>")
    parser.add_argument("--modes", default="stopped,clock,stock")
    parser.add_argument("--gl", action="store_true",
                        help="draw the page's scene through OpenGL even on a software OpenGL")
    args = parser.parse_args()

    subprocess.run(["cmake", "-S", HERE, "-B", args.build, "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=Release"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", args.build, "-j2", "--target", "idleclock"], check=True)
    program = os.path.join(args.build, "idleclock")

    env = dict(os.environ, DISPLAY=f":{args.display}", QT_QPA_PLATFORM="xcb")
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    xvfb = subprocess.Popen(["Xvfb", f":{args.display}", "-screen", "0", "1920x1080x24",
                             "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wm = None
    results = {mode: [] for mode in args.modes.split(",")}
    try:
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{args.display}"):
                break
            time.sleep(0.05)
        wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
        for run in range(args.runs):
            for mode in results:
                proc = subprocess.Popen([program, mode, args.url] + (["gl"] if args.gl else []), env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                try:
                    time.sleep(SETTLE)
                    before = tree_cpu(proc.pid)
                    time.sleep(IDLE)
                    used = tree_cpu(proc.pid) - before
                finally:
                    proc.terminate()
                    try:
                        proc.wait(10)
                    except subprocess.TimeoutExpired:
                        proc.kill()
                        proc.wait()
                results[mode].append(used * 1000)
                print(f"run {run + 1} {mode:8s} {used * 1000:7.1f} ms CPU per {IDLE:.0f} s", flush=True)
    finally:
        if wm:
            wm.terminate()
            wm.wait()
        xvfb.terminate()
        xvfb.wait()

    print("\nmode      median ms CPU / 10 s   runs")
    for mode, values in results.items():
        print(f"{mode:8s}  {statistics.median(values):8.1f}              {', '.join(f'{v:.1f}' for v in values)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
