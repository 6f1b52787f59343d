#!/usr/bin/env python3
"""Runs the end-to-end tests (functions test_* in tests/e2e/test_*.py), two
at a time, each in its own Wine prefix, and prints one summary line.

usage: run.py [-k TEXT] [-j N]"""
import argparse
import concurrent.futures
import importlib
import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


def collect(filter_text):
    here = os.path.dirname(os.path.abspath(__file__))
    tests = []
    for file in sorted(os.listdir(here)):
        if file.startswith("test_") and file.endswith(".py"):
            module = importlib.import_module(file[:-3])
            for name in sorted(n for n in dir(module) if n.startswith("test_")):
                full = f"{file[:-3]}.{name}"
                if not filter_text or filter_text in full:
                    tests.append((full, getattr(module, name)))
    return tests


def run_one(full, test):
    started = time.time()
    try:
        test()
        return full, None, time.time() - started
    except Exception:  # a failed assertion or a broken test alike
        return full, traceback.format_exc(limit=6), time.time() - started


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-k", default="")
    parser.add_argument("-j", type=int, default=2)
    options = parser.parse_args()

    for needed in (harness.SETUP_EXE, harness.PROBE_EXE):
        if not os.path.exists(needed):
            print(f"missing {needed}: run 'make unit' first")
            print("e2e: 0 passed, 1 failed")
            return 1
    tests = collect(options.k)
    harness.DISPLAY.start()
    passed = failed = 0
    try:
        # Templates are made once, before tests run side by side.
        harness._template("win64")
        with concurrent.futures.ThreadPoolExecutor(max_workers=options.j) as pool:
            for full, error, seconds in pool.map(lambda t: run_one(*t), tests):
                if error:
                    failed += 1
                    print(f"FAIL {full} ({seconds:.1f} s)\n{error}")
                else:
                    passed += 1
                    print(f"ok   {full} ({seconds:.1f} s)")
    finally:
        harness.DISPLAY.stop()
    print(f"e2e: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
