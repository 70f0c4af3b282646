#!/usr/bin/env python3
"""Figures of the microphone check in the installed client, on a private sound server.

Opens the check with the main window's sound-test button, reads the sample sentence into the
virtual microphone and reads the client's DBG lines: the recorded length against 10.00 s, and
the time from the end of the countdown to the result page with the fixed 1000 ms pause shown
apart. Prints figures; asserts nothing.
"""
import os
import subprocess
import sys
import tempfile
import time
import wave

BENCH = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, BENCH)
import frame_bench  # noqa: E402  the client runner and the DBG reader

SESSION = os.path.join(frame_bench.ROOT, "tests/support/pulse/pulse-session")
PAUSE_S = 1.0
RESULT_PAGES = ("recording check: success page", "recording check: failure page")


def click_in_centred_window(width, height, x, y):
    screen = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True,
                            check=True).stdout.split()
    left = (int(screen[0]) - width) // 2 + x
    top = (int(screen[1]) - height) // 2 + y
    subprocess.run(["xdotool", "mousemove", str(left), str(top), "sleep", "0.2", "click", "1"],
                   check=True)


def one_check(build_dir, session):
    with frame_bench.running_client(build_dir, "/Home/") as (log, _, _):
        frame_bench.wait_for(log, lambda t: t.startswith("start-up: message loop"))
        click_in_centred_window(800, 600, 588, 14)
        frame_bench.wait_for(log, lambda t: t == "recording check: start page")
        click_in_centred_window(558, 353, 486, 290)
        frame_bench.wait_for(log, lambda t: t == "recording check: status 2")
        prompt = os.path.join(os.path.dirname(log), "engine/bin/checkRecTip.wav")
        time.sleep(1)  # a student starts reading a moment after the ding
        subprocess.run([SESSION, "speak", session, prompt], check=True)
        frame_bench.wait_for(log, lambda t: t in RESULT_PAGES)
        lines = frame_bench.dbg_lines(log)
        with wave.open(os.path.join(os.path.dirname(log), "tmp/RecordTestFile.wav")) as recording:
            seconds = recording.getnframes() / recording.getframerate()
    recording_started = next(i for i, (_, t) in enumerate(lines) if t == "recording check: status 2")
    stopped = next(w for w, t in lines[recording_started:] if t == "recording check: status 0")
    verdict = next(w for w, t in lines if t.startswith("speech engine:"))
    result, page = next((w, t) for w, t in lines if t in RESULT_PAGES)
    return seconds, stopped, verdict, result, page


def main():
    parser = frame_bench.bench_arguments(__doc__)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    session = tempfile.mkdtemp()
    subprocess.run([SESSION, "start", session], check=True)
    os.environ["PULSE_SERVER"] = f"unix:{session}/native"
    try:
        for run in range(1, args.runs + 1):
            seconds, stopped, verdict, result, page = one_check(args.build_dir, session)
            print(f"check {run}: {page.split()[-2]}; recorded {seconds:6.3f} s (10.000 s asked); "
                  f"countdown end to verdict {(verdict - stopped) * 1000:5.0f} ms, "
                  f"to result page {result - stopped:5.3f} s "
                  f"(of which the fixed pause {PAUSE_S:.3f} s)")
    finally:
        subprocess.run([SESSION, "stop", session], check=False)


if __name__ == "__main__":
    main()
