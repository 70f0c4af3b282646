#!/usr/bin/env python3
"""Start-up, memory and page-handling figures of the client against the demo platform.

Installs the built client (--build-dir, default $PARVELO_BUILD_DIR or build/) into a private
directory, runs it under Xvfb's DISPLAY with the demo site on a free port and reads the times of
the client's DBG lines. Two runs: one to the log-in page for start-up and memory, one through the
site's benchmark pages (/bench/) for page loads and page commands. Prints figures; asserts
nothing.
"""
import argparse
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time
from contextlib import contextmanager
from datetime import datetime

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LINE = re.compile(r"^\[(\d\d/\d\d/\d\d-\d\d:\d\d:\d\d \d{3})\]\[DBG\]\[[^]]*\]\[[^]]*\] (.*)$")
STAMP = re.compile(r"^page command: stamp, (\d+(?:\.\d+)?)$")
BENCH_PAGE = re.compile(r"/Loads\?left=\d+$")
# What the site's benchmark pages do: /bench/ leads through a chain of page loads, then to a
# page that sends this many stamped commands.
COMMANDS = 50


def stamp(text):
    """A log line's local time, as seconds since the epoch (to the millisecond, cut)."""
    return datetime.strptime(text[:-4], "%y/%m/%d-%H:%M:%S").timestamp() + int(text[-3:]) / 1000


def dbg_lines(log):
    try:
        with open(log, encoding="utf-8", errors="replace") as f:
            return [(stamp(m.group(1)), m.group(2)) for m in map(LINE.match, f.read().splitlines()) if m]
    except FileNotFoundError:
        return []


def wait_for_lines(log, predicate, count, seconds):
    """The times of the first count DBG lines the predicate accepts, once there are as many."""
    end = time.time() + seconds
    while time.time() < end:
        found = [when for when, text in dbg_lines(log) if predicate(text)]
        if len(found) >= count:
            return found[:count]
        time.sleep(0.05)
    raise SystemExit("the client did not get there in time")


def wait_for(log, predicate, seconds=60):
    return wait_for_lines(log, predicate, 1, seconds)[0]


def process_tree(pid):
    pids, frontier = {pid}, [pid]
    while frontier:
        parent = frontier.pop()
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open(f"/proc/{entry}/stat") as f:
                        if int(f.read().rsplit(")", 1)[1].split()[1]) == parent and int(entry) not in pids:
                            pids.add(int(entry))
                            frontier.append(int(entry))
                except OSError:
                    pass
    return pids


def tree_pss_kb(pid):
    pids = process_tree(pid)
    total = 0
    for p in pids:
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                total += sum(int(line.split()[1]) for line in f if line.startswith("Pss:"))
        except OSError:
            pass
    return total, len(pids)


@contextmanager
def running_client(build_dir, host_path, host_name="127.0.0.1"):
    """Runs a private installation of the client with the demo site; yields its log, the time
    it was started and its process id. Ends both and removes the installation afterwards."""
    work = tempfile.mkdtemp()
    install = os.path.join(work, "install")
    subprocess.run(["cmake", "--install", build_dir, "--prefix", install], check=True,
                   stdout=subprocess.DEVNULL)
    exe = os.path.join(install, f"pvbench{os.getpid()}")
    os.rename(os.path.join(install, "parvelo"), exe)
    for d in ("run", "home"):
        os.makedirs(os.path.join(work, d), mode=0o700)
    server = subprocess.Popen([sys.executable, "-B", os.path.join(ROOT, "demo/platform/server.py"), "--port", "0"],
                              stdout=subprocess.PIPE, text=True)
    client = None
    try:
        address = server.stdout.readline().strip().split()[-1].rstrip("/")
        address = address.replace("127.0.0.1", host_name)
        conf = os.path.join(install, "Conf.ini")
        with open(conf, encoding="utf-8") as f:
            text = f.read()
        text = re.sub(r"Host=.*", f"Host={address}{host_path}", text).replace("level=7", "level=39")
        with open(conf, "w", encoding="utf-8") as f:
            f.write(text)
        env = dict(os.environ, XDG_RUNTIME_DIR=os.path.join(work, "run"), HOME=os.path.join(work, "home"),
                   QT_QPA_PLATFORM="xcb")
        if os.geteuid() == 0:
            env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
        started = time.time()
        client = subprocess.Popen([exe], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        yield os.path.join(install, "zoravoraz.log"), started, client.pid
    finally:
        if client:
            for pid in process_tree(client.pid):
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            client.wait()
        server.send_signal(signal.SIGTERM)
        server.wait()
        shutil.rmtree(work, ignore_errors=True)


def figures(values_ms):
    if not values_ms:
        return "no measurements"
    median, most = statistics.median(values_ms), max(values_ms)
    return f"median {median:5.1f} ms, max {most:5.1f} ms (n={len(values_ms)})"


def start_up(build_dir):
    with running_client(build_dir, "/Home/") as (log, started, pid):
        splash = wait_for(log, lambda t: t.startswith("start-up: splash wait"))
        creating = wait_for(log, lambda t: t.startswith("start-up: creating the main window"))
        shown = wait_for(log, lambda t: t.startswith("start-up: message loop"))
        painted = wait_for(log, lambda t: t.startswith("page document:") and "/Home/Home/Index" in t)
        time.sleep(2)
        pss, processes = tree_pss_kb(pid)
    print(f"start to splash wait:                 {splash - started:6.3f} s")
    print(f"splash wait (fixed 101 x 20 ms):      {creating - splash:6.3f} s")
    print(f"main window shown after the wait:     {shown - creating:6.3f} s  (target <= 0.3 s)")
    print(f"main window shown after the wait began: {shown - splash:5.3f} s  (target <= 2.02 + 0.15 s)")
    print(f"start page applied after the window:  {painted - shown:6.3f} s  (target <= 0.5 s)")
    print(f"memory (PSS) of {processes} processes:        {pss / 1024:6.1f} MB (target <= 300 MB)")


def page_loads(lines):
    """For each load of a benchmark page: from the load end the browser reports ("document
    complete") to the skin and buttons ("page loaded") and to the state from the page's cookies
    and elements ("page document"), in ms, and whether the skin changed."""
    loads = []
    for i, (ended, text) in enumerate(lines):
        if not text.startswith("document complete: ") or not BENCH_PAGE.search(text):
            continue
        url = text[len("document complete: "):]
        rest = lines[i + 1:]
        at = next(k for k, (_, t) in enumerate(rest) if t.startswith(f"page loaded: {url};"))
        applied = next(when for when, t in rest[at:] if t.startswith(f"page document: {url};"))
        skin = any(t.startswith("skin: ") for _, t in rest[:at])
        loads.append(((rest[at][0] - ended) * 1000, (applied - ended) * 1000, skin))
    return loads


def command_delays(lines):
    """For each stamped command: from the page's call (its wall-clock stamp) to the client's
    handler (the time of its line), in ms."""
    return [when * 1000 - float(m.group(1)) for when, text in lines if (m := STAMP.match(text))]


def page_handling(build_dir):
    with running_client(build_dir, "/bench/") as (log, _, _):
        wait_for_lines(log, STAMP.match, COMMANDS, seconds=180)
        lines = dbg_lines(log)
    # The same pages as another site's: without the page-compatibility layer, which only the
    # platform's own documents get.
    with running_client(build_dir, "/bench/?elsewhere=1", host_name="localhost") as (log, _, _):
        wait_for(log, lambda t: t.startswith("page document: ") and "left=0" in t, seconds=180)
        other_loads = page_loads(dbg_lines(log))
    loads = page_loads(lines)
    applied = [a for _, a, _ in loads]
    print("page loads of the demo site, from the browser's load end:")
    print(f"  to skin and buttons:                {figures([l for l, _, _ in loads])}")
    print(f"  to the frame's state applied:       {figures(applied)}  (target <= 30 ms)")
    print(f"    with a skin change:               {figures([a for _, a, s in loads if s])}")
    print(f"    without:                          {figures([a for _, a, s in loads if not s])}")
    # Another site's pages change no skin: compared like with like.
    print("  the same pages without the page-compatibility layer (another site's), no skin change:")
    print(f"    to the frame's state applied:     {figures([a for _, a, s in other_loads if not s])}"
          "  (the layer may add <= 5 ms to the median without a skin change above)")
    print("page commands, from SendClientCommand in the page to the client's handler")
    print(f"  (log times are cut to the ms):      {figures(command_delays(lines))}  (target <= 20 ms)")


def bench_arguments(description):
    """The benchmarks' command line: where the client was built, and what else the caller adds."""
    parser = argparse.ArgumentParser(description=description.splitlines()[0])
    parser.add_argument("--build-dir",
                        default=os.environ.get("PARVELO_BUILD_DIR", os.path.join(ROOT, "build")),
                        help="where the client was built (default: $PARVELO_BUILD_DIR or build/)")
    return parser


def main():
    parser = bench_arguments(__doc__)
    args = parser.parse_args()
    start_up(args.build_dir)
    page_handling(args.build_dir)


if __name__ == "__main__":
    main()
