#!/usr/bin/env python3
"""Start-up and memory figures of the client against the demo platform.

Runs the staged installation (build/stage) from a private copy under Xvfb's DISPLAY, with the
demo site on a free port, and reads the client's DBG lines. Prints figures; asserts nothing.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from datetime import datetime

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
STAGE = os.path.join(ROOT, "build", "stage")
LINE = re.compile(r"^\[(\d\d/\d\d/\d\d-\d\d:\d\d:\d\d \d{3})\]\[DBG\]\[[^]]*\]\[[^]]*\] (.*)$")


def stamp(text):
    return datetime.strptime(text[:-4], "%y/%m/%d-%H:%M:%S").timestamp() + int(text[-3:]) / 1000


def dbg_lines(log):
    try:
        with open(log, encoding="utf-8", errors="replace") as f:
            return [(stamp(m.group(1)), m.group(2)) for m in map(LINE.match, f.read().splitlines()) if m]
    except FileNotFoundError:
        return []


def wait_for(log, predicate, seconds=60):
    end = time.time() + seconds
    while time.time() < end:
        for when, text in dbg_lines(log):
            if predicate(text):
                return when
        time.sleep(0.05)
    raise SystemExit("the client did not get there in time")


def tree_pss_kb(pid):
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
    total = 0
    for p in pids:
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                total += sum(int(line.split()[1]) for line in f if line.startswith("Pss:"))
        except OSError:
            pass
    return total, len(pids)


def main():
    work = tempfile.mkdtemp()
    install = os.path.join(work, "install")
    shutil.copytree(STAGE, install)
    exe = os.path.join(install, f"pvbench{os.getpid()}")
    os.rename(os.path.join(install, "parvelo"), exe)
    for d in ("run", "home"):
        os.makedirs(os.path.join(work, d), mode=0o700)
    server = subprocess.Popen([sys.executable, "-B", os.path.join(ROOT, "demo/platform/server.py"), "--port", "0"],
                              stdout=subprocess.PIPE, text=True)
    address = server.stdout.readline().strip().split()[-1].rstrip("/")
    conf = os.path.join(install, "Conf.ini")
    with open(conf, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"Host=.*", f"Host={address}/Home/", text).replace("level=7", "level=39")
    with open(conf, "w", encoding="utf-8") as f:
        f.write(text)
    env = dict(os.environ, XDG_RUNTIME_DIR=os.path.join(work, "run"), HOME=os.path.join(work, "home"),
               QT_QPA_PLATFORM="xcb")
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    log = os.path.join(install, "zoravoraz.log")
    started = time.time()
    client = subprocess.Popen([exe], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        splash = wait_for(log, lambda t: t.startswith("start-up: splash wait"))
        creating = wait_for(log, lambda t: t.startswith("start-up: creating the main window"))
        shown = wait_for(log, lambda t: t.startswith("start-up: message loop"))
        painted = wait_for(log, lambda t: t.startswith("page document:") and "/Home/Home/Index" in t)
        time.sleep(2)
        pss, processes = tree_pss_kb(client.pid)
        print(f"start to splash wait:                 {splash - started:6.3f} s")
        print(f"splash wait (fixed 101 x 20 ms):      {creating - splash:6.3f} s")
        print(f"main window shown after the wait:     {shown - creating:6.3f} s  (target <= 0.3 s)")
        print(f"start page applied after the window:  {painted - shown:6.3f} s  (target <= 0.5 s)")
        print(f"memory (PSS) of {processes} processes:        {pss / 1024:6.1f} MB (target <= 300 MB)")
    finally:
        subprocess.run(["pkill", "-9", "-f", exe])
        client.wait()
        server.send_signal(signal.SIGTERM)
        server.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
