#!/usr/bin/env python3
"""Sums the test cases of every test executable of the given build directories.

Each executable leaves a Google Test XML report in <build>/test-results; CTest's JUnit report
says which executables failed as a whole. An executable that failed without a report (a
crash, a sanitizer report at exit) counts as one failed case more.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def main(dirs):
    import os
    # Checks that are not test executables (the fuzz runs) are passed in by the test command.
    passed = int(os.environ.get("KV_EXTRA_PASSED", "0"))
    failed = int(os.environ.get("KV_EXTRA_FAILED", "0"))
    skipped = 0
    for d in map(Path, dirs):
        ctest = d / "ctest-junit.xml"
        if not ctest.exists():
            print(f"{d.name}: no test run recorded", file=sys.stderr)
            failed += 1
            continue
        for case in ET.parse(ctest).getroot().iter("testcase"):
            name = case.get("name")
            exe_failed = case.find("failure") is not None or case.find("error") is not None
            report = d / "test-results" / f"{name}.xml"
            p = f = s = 0
            if report.exists():
                try:
                    root = ET.parse(report).getroot()
                    for tc in root.iter("testcase"):
                        if tc.find("failure") is not None:
                            f += 1
                        elif tc.get("result") == "skipped" or tc.find("skipped") is not None:
                            s += 1
                        else:
                            p += 1
                except ET.ParseError:
                    pass
            if exe_failed and f == 0:
                f = 1
                print(f"{d.name}/{name}: failed outside its test cases", file=sys.stderr)
            passed, failed, skipped = passed + p, failed + f, skipped + s
    print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
