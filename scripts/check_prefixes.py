#!/usr/bin/env python3
"""Checks that the Wine prefixes of the build keep their users' folders inside the build folder:
check_prefixes.py [build folder].

Wine links a new prefix's Documents, Desktop, Downloads, Music, Pictures, Videos and Templates
to the login's home folder; what a program saved there would land outside the checkout, shared
by every prefix of the login. Every prefix in the build folder (the tests' template and its
copies, the user's prefix of ./run.sh) is looked at. Exits 0 when no link under a prefix's
users' folders leads out of the build folder; otherwise prints one line per such link (link,
target) and exits 1, as it does when the build folder holds no prefix at all.
"""
import os
import sys


def prefixes(build):
    for name in sorted(os.listdir(build)):
        path = os.path.join(build, name)
        if name.startswith("wineprefix") and os.path.isdir(os.path.join(path, "drive_c")):
            yield path


def links_out(prefix, build):
    inside = os.path.realpath(build) + os.sep
    # os.walk does not follow links: a linked folder is listed, never entered.
    for folder, dirs, files in os.walk(os.path.join(prefix, "drive_c", "users")):
        for name in dirs + files:
            path = os.path.join(folder, name)
            if os.path.islink(path) and not os.path.realpath(path).startswith(inside):
                yield path, os.readlink(path)


def main(build):
    found = list(prefixes(build)) if os.path.isdir(build) else []
    if not found:
        print(f"check_prefixes: no Wine prefix in {build}")
        return 1
    bad = [hit for prefix in found for hit in links_out(prefix, build)]
    for path, target in bad:
        print(f"{path} -> {target}: a user folder outside the build folder")
    if bad:
        print("check_prefixes: cmake/wine-run.sh makes such links folders of the prefix's own: the "
              "tests' prefixes when it next runs a test, ./run.sh's at its next start")
    return 1 if bad else 0


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(here), "build")))
