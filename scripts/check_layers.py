#!/usr/bin/env python3
"""Checks that the layers form a line: library code includes only headers of its own layer or
of layers below it, and each library's DEPS name only libraries of its own layer or below.

Exits 0 when the line holds; otherwise prints one line per crossing (file, line, include) and
exits 1. Tests (any `tests/` folder), bench/, fuzz/, tools/ and testsupport/ may reach into
anything and are not checked.
"""
import os
import re
import sys

# Folder (or sub-folder) -> rank, from the bottom up. A file takes the rank of the longest
# folder that holds it. Equal ranks may use each other.
LAYERS = [
    ("base", 0),
    ("vmplib", 1),
    ("ui", 2),
    ("midi", 3),
    ("midi/model", 3.0),
    ("midi/system", 3.1),
    ("midi/virtual", 3.2),
    ("midi/manager", 3.3),
    ("midi/testing", 3.4),
    ("engine", 4.1),
    ("engine/system", 4.0),
    ("controls", 5),
    ("editor", 6),
    ("editor/win", 6.5),
    ("editor/props", 7),
    ("app", 8.3),
    ("app/controller", 8.0),
    ("app/shell", 8.1),
    ("app/main_window", 8.2),
]

# Library -> the folder whose rank it has.
LIBRARIES = {
    "kv_base": "base",
    "kv_vmplib": "vmplib",
    "kv_vmplib_standin": "vmplib",
    "kv_ui": "ui",
    "kv_midi": "midi",
    "kv_midi_testing": "midi",
    "kv_engine": "engine",
    "kv_controls": "controls",
    "kv_editor_core": "editor",
    "kv_editor_win": "editor",
    "kv_props_core": "editor/props",
    "kv_props_win": "editor/props",
    "kv_app_core": "app",
    "kv_app_win": "app",
    "kv_app_props": "app",
    "kv_app_main": "app",
}

# Folders whose code may reach into every layer.
FREE = ("bench", "fuzz", "tools", "testsupport")

SOURCE_EXT = (".h", ".hpp", ".cpp", ".cc", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def rank_of(rel):
    """The rank of a repository-relative path, or None when no layer holds it."""
    best = None
    for folder, rank in LAYERS:
        if rel == folder or rel.startswith(folder + "/"):
            if best is None or len(folder) > len(best[0]):
                best = (folder, rank)
    return best


def is_free(rel):
    parts = rel.split("/")
    return parts[0] in FREE or "tests" in parts


def resolve(root, src_rel, name):
    """The repository-relative path an include names: beside the including file first, then
    from the repository's root (the one include directory)."""
    beside = os.path.normpath(os.path.join(os.path.dirname(src_rel), name))
    if os.path.isfile(os.path.join(root, beside)):
        return beside.replace(os.sep, "/")
    from_root = os.path.normpath(name)
    if os.path.isfile(os.path.join(root, from_root)):
        return from_root.replace(os.sep, "/")
    return None


def check_includes(root):
    errors = []
    tops = sorted({folder.split("/")[0] for folder, _ in LAYERS})
    for folder in tops:
        top = os.path.join(root, folder)
        for dirpath, dirnames, filenames in os.walk(top):
            dirnames.sort()
            for fn in sorted(filenames):
                if not fn.endswith(SOURCE_EXT):
                    continue
                rel = os.path.relpath(os.path.join(dirpath, fn), root).replace(os.sep, "/")
                if is_free(rel):
                    continue
                own = rank_of(rel)
                with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = resolve(root, rel, m.group(1))
                        if target is None:
                            continue
                        theirs = rank_of(target)
                        if theirs is not None and theirs[1] > own[1]:
                            errors.append(
                                f"{rel}:{number}: includes \"{m.group(1)}\" of {theirs[0]}/ "
                                f"(rank {theirs[1]}), above {own[0]}/ (rank {own[1]})")
    return errors


def cmake_calls(text, name):
    """The argument lists of every call of `name` in a CMake file, comments removed."""
    text = re.sub(r"#[^\n]*", "", text)
    for m in re.finditer(r"\b" + name + r"\s*\(", text):
        depth, i = 1, m.end()
        while i < len(text) and depth:
            depth += {"(": 1, ")": -1}.get(text[i], 0)
            i += 1
        yield text[m.end():i - 1].split()


def check_deps(root):
    errors = []
    keywords = {"SOURCES", "WIN_SOURCES", "POSIX_SOURCES", "DEPS", "WIN_LIBS", "NAME",
                "WINDOWS_ONLY"}
    for folder, _ in LAYERS:
        path = os.path.join(root, folder, "CMakeLists.txt")
        if not os.path.isfile(path):
            continue
        with open(path, encoding="utf-8") as f:
            text = f.read()
        for args in cmake_calls(text, "kv_add_library"):
            name = args[args.index("NAME") + 1] if "NAME" in args else None
            if name is None:
                continue
            if name not in LIBRARIES:
                errors.append(f"{folder}/CMakeLists.txt: library {name} has no layer in "
                              "scripts/check_layers.py")
                continue
            own = rank_of(LIBRARIES[name])
            deps, inside = [], False
            for a in args:
                if a in keywords:
                    inside = a == "DEPS"
                elif inside:
                    deps.append(a)
            for dep in deps:
                dep = re.sub(r"^\$<LINK_LIBRARY:[A-Z_]+,(.*)>$", r"\1", dep)
                if dep not in LIBRARIES:
                    continue
                theirs = rank_of(LIBRARIES[dep])
                if theirs[1] > own[1]:
                    errors.append(f"{folder}/CMakeLists.txt: {name} ({own[0]}/) links {dep} "
                                  f"of {theirs[0]}/, a higher layer")
    return errors


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    errors = check_includes(root) + check_deps(root)
    for e in errors:
        print(e)
    if errors:
        print(f"layers: FAILED ({len(errors)} crossing(s) upward)")
        return 1
    print("layers: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
