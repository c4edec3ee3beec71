#!/usr/bin/env python3
"""Copies a booted Wine prefix: copy-wine-prefix.py <template> <copy>.

Wine only ever reads the program files of the prefix's Windows folder, so the copy links them
to the template's rather than holding its own 650 MB of them. Everything Wine writes (the
registry, the users' folders, settings files) is the copy's own.
"""
import os
import shutil
import sys

MODULES = (".dll", ".exe", ".drv", ".sys", ".ocx", ".cpl", ".acm", ".ax", ".tlb", ".msstyles")


def main(template, copy):
    windows = os.path.join(template, "drive_c", "windows") + os.sep

    def link_or_copy(source, target):
        if source.startswith(windows) and source.lower().endswith(MODULES):
            os.link(source, target)
        else:
            shutil.copy2(source, target)

    shutil.copytree(template, copy, symlinks=True, copy_function=link_or_copy,
                    ignore=shutil.ignore_patterns(".kv-template"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
