#!/usr/bin/env python3
"""Splash figures of the client: when the movie's first frame is drawn, and the memory of the
client's processes while the splash plays and after it has closed.

Runs a private installation of the built client (--build-dir, default $PARVELO_BUILD_DIR or
build/) under Xvfb's DISPLAY, as frame_bench does. The splash's player runs in a browser
renderer process of its own; closing the splash must end it. Prints figures; asserts nothing.
"""
import os
import statistics
import time

from frame_bench import bench_arguments, dbg_lines, process_tree, running_client, tree_pss_kb, wait_for

RUNS = 3


def renderers(pid):
    """The browser's renderer processes: the client starts the browser's zygotes, and every
    renderer is forked from a zygote (it keeps the zygote's command line)."""
    found = set()
    for p in process_tree(pid):
        try:
            with open(f"/proc/{p}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            with open(f"/proc/{p}/comm") as f:
                engine = f.read().startswith("QtWebEngine")
        except OSError:
            continue
        if engine and int(fields[1]) != pid:
            found.add(p)
    return found


def one_run(build_dir):
    with running_client(build_dir, "/Home/") as (log, started, pid):
        shown = wait_for(log, lambda t: t == "splash: shown")
        # Half way through the two-second wait the player is loading or playing.
        time.sleep(max(0.0, shown + 1.0 - time.time()))
        playing_pss, playing_count = tree_pss_kb(pid)
        playing_renderers = renderers(pid)
        closed = wait_for(log, lambda t: t == "splash: closed")
        wait_for(log, lambda t: t.startswith("page document:"))
        time.sleep(2)
        after_pss, after_count = tree_pss_kb(pid)
        after_renderers = renderers(pid)
        first = [when for when, text in dbg_lines(log) if text == "splash: first frame"]
    return {
        "first frame": first[0] - started if first and first[0] < closed else None,
        "shown": shown - started,
        "playing": (playing_pss, playing_count, len(playing_renderers)),
        "after": (after_pss, after_count, len(after_renderers)),
        "splash renderers left": len(playing_renderers & after_renderers),
    }


def main():
    parser = bench_arguments(__doc__)
    args = parser.parse_args()
    runs = [one_run(args.build_dir) for _ in range(RUNS)]
    for n, run in enumerate(runs, 1):
        first = run["first frame"]
        playing_pss, playing_count, playing_renderers = run["playing"]
        after_pss, after_count, after_renderers = run["after"]
        print(f"run {n}:")
        print(f"  start to splash shown:              {run['shown']:6.3f} s")
        print("  start to the movie's first frame:   " +
              (f"{first:6.3f} s  (target: inside the 2-second wait)" if first is not None
               else "not drawn before the splash closed"))
        print(f"  PSS while the splash plays:         {playing_pss / 1024:6.1f} MB "
              f"in {playing_count} processes, {playing_renderers} renderers")
        print(f"  PSS after the splash closed:        {after_pss / 1024:6.1f} MB "
              f"in {after_count} processes, {after_renderers} renderers")
        print(f"  splash renderers still running:     {run['splash renderers left']}  (target 0)")
    drawn = [r["first frame"] for r in runs if r["first frame"] is not None]
    if drawn:
        print(f"first frame: median {statistics.median(drawn):.3f} s over {len(drawn)} of {RUNS} runs")


if __name__ == "__main__":
    main()
