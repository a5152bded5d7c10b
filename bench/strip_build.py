#!/usr/bin/env python3
"""What building the ticker table costs where the user is: the real program under a virtual X server with a
window manager, nothing downloading. Each run starts the program with N tickers, the scrolling ticker shown
or hidden, and reads the processor time (user and system) of the program, of the X server and of the window
manager from the program's start until 4 s after its main window is on the screen (the strip scrolls
meanwhile when it is shown). The strip's share of the build is the time with the strip shown less the time
with it hidden; its cost per entry that share over N.

Usage: strip_build.py PROGRAM [--runs R] [--tickers N ...]"""

import argparse
import os
import statistics
import sys
import time

sys.dont_write_bytecode = True
here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "desktop"))

import desktop  # noqa: E402
import harness  # noqa: E402
from harness import Program, ticker_line  # noqa: E402

HZ = os.sysconf("SC_CLK_TCK")
AFTER_SHOWN = 4.0  # seconds measured after the main window is on the screen


def cpu_ms(pid):
    """User and system processor time of process `pid` so far, in milliseconds."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rpartition(")")[2].split()
    return (int(fields[11]) + int(fields[12])) * 1000 / HZ


def one_run(session, tickers, shown):
    lines = [ticker_line(f"T{i}", str(i), "5") for i in range(1, tickers + 1)]
    others = [session.processes[0].pid, session.window_manager.pid]
    with Program(settings={"chkScrollingTicker": "1" if shown else "0"}, tickers=lines, start=False,
                 session=session) as p:
        before = [cpu_ms(pid) for pid in others]
        p.launch()
        p.main_window_shown()
        time.sleep(AFTER_SHOWN)
        p.assert_alive()
        program = cpu_ms(p.pid)
        desk = sum(cpu_ms(pid) for pid in others) - sum(before)
    return program, desk


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--tickers", type=int, nargs="+", default=[200, 999])
    args = parser.parse_args()
    harness.PROGRAM = os.path.abspath(args.program)

    session = desktop.Session()
    try:
        session.start()
        print(f"desktop {session}; {args.runs} runs each, medians", flush=True)
        print(f"load average at the start: {open('/proc/loadavg').read().split()[:3]}", flush=True)
        share = {}
        for n in args.tickers:
            figures = {}
            for shown in (False, True):
                runs = [one_run(session, n, shown) for _ in range(args.runs)]
                figures[shown] = (statistics.median(r[0] for r in runs), statistics.median(r[1] for r in runs))
                print(f"{n} tickers, strip {'shown' if shown else 'hidden'}: program {figures[shown][0]:.0f} ms "
                      f"(runs {', '.join(f'{r[0]:.0f}' for r in runs)}), X server and window manager "
                      f"{figures[shown][1]:.0f} ms (runs {', '.join(f'{r[1]:.0f}' for r in runs)})", flush=True)
            share[n] = figures[True][0] - figures[False][0]
            print(f"{n} tickers: the strip's share {share[n]:.0f} ms of the program, {share[n] / n:.3f} ms an "
                  f"entry; the X server and the window manager {figures[True][1] - figures[False][1]:.0f} ms more "
                  f"with the strip shown", flush=True)
        if len(args.tickers) >= 2:
            low, high = min(args.tickers), max(args.tickers)
            print(f"cost per entry at {high} over the cost at {low}: "
                  f"{(share[high] / high) / (share[low] / low):.2f}", flush=True)
        print(f"load average at the end: {open('/proc/loadavg').read().split()[:3]}", flush=True)
    finally:
        session.stop()


if __name__ == "__main__":
    main()
