#!/usr/bin/env python3
"""Runs the desktop acceptance cases against the real program under a virtual X server with a window manager
and a notification area. Usage: run.py PROGRAM [unittest arguments, e.g. -k Tray]"""

import os
import sys
import time
import unittest

sys.dont_write_bytecode = True  # no caches left in the source tree

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)

import desktop  # noqa: E402
import harness  # noqa: E402


def main():
    if len(sys.argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    harness.PROGRAM = os.path.abspath(sys.argv[1])
    if not os.access(harness.PROGRAM, os.X_OK):
        sys.stderr.write(f"no program at {harness.PROGRAM}\n")
        return 2
    session = desktop.Session()
    began = time.monotonic()
    try:
        harness.SESSION = session.start()
        print(f"desktop {session}; program {harness.PROGRAM}", flush=True)
        argv = [sys.argv[0], "discover", "-s", here, "-p", "test_*.py", "-t", here] + sys.argv[2:]
        program = unittest.main(module=None, argv=argv, verbosity=2, exit=False)
        ok = program.result.wasSuccessful()
    finally:
        session.stop()
    print(f"desktop suite: {time.monotonic() - began:.0f} s", flush=True)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
