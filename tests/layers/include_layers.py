#!/usr/bin/env python3
"""Checks who may include whom below src/.

The core (src/data and the plain C++ units that tavik_core compiles from the rooms) sees no Qt and
nothing above it; widgets sit on the core; the window rooms sit on widgets and keep out of each
other's windows; CompanionWindowsU and main.cpp on top may include anything. Every include of a
project header names its path below src/.

Usage: include_layers.py SRC_DIR   (exit status 1 and one line per fault when a rule is broken)
"""

import re
import sys
from pathlib import Path

ROOMS = ("about", "prefs", "select", "manage", "check", "changes", "clock")
# The interfaces between the clock and the windows it opens; every room may include them.
MEETING = ("ClockHostU.h", "CompanionsU.h")
TOP = ("CompanionWindowsU.cpp", "CompanionWindowsU.h", "main.cpp")

# Window headers of another room that a room includes today, each for a reason.
ALLOWED = {
    # The country and state pages remember a zone the user picked in the user's zone file,
    # which the zone check owns and reads.
    ("manage/CountryPageU.cpp", "check/ZoneCheckFormU.h"),
    ("manage/StatePageU.cpp", "check/ZoneCheckFormU.h"),
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
QT_HEADER = re.compile(r"^(Q[A-Za-z]|Qt)")
GENERATED = re.compile(r"^ui_\w+\.h$")


def core_files(src):
    """The files of tavik_core: its sources as listed, their headers, and all of src/data."""
    listing = (src / "data" / "CMakeLists.txt").read_text()
    found = re.search(r"add_library\(\s*tavik_core\s+STATIC(.*?)\)", listing, re.DOTALL)
    if not found:
        raise SystemExit("src/data/CMakeLists.txt: no tavik_core library found")
    core = set()
    for word in found.group(1).split():
        word = word.replace("${PROJECT_SOURCE_DIR}/src/", "")
        if not word.endswith(".cpp"):
            continue
        if "/" not in word:
            word = "data/" + word
        core.add(word)
        header = word[:-4] + ".h"
        if (src / header).exists():
            core.add(header)
    core.update(p.relative_to(src).as_posix() for p in (src / "data").glob("*.[ch]*"))
    return core


def layer(name, core):
    """The layer of a file below src/: core, widgets, meeting, a room's name, or top."""
    if name in core:
        return "core"
    if name in MEETING:
        return "meeting"
    if name in TOP or "/" not in name:
        return "top"
    room = name.split("/", 1)[0]
    if room == "widgets":
        return "widgets"
    if room in ROOMS:
        return room
    return "top"


def may_include(source, target):
    """Whether a file of layer source may include a header of layer target."""
    if source == "top" or target == "core":
        return True
    if source == "core":
        return False
    if source == "widgets":
        return target == "widgets"
    if source == "meeting":
        return target in ("widgets", "meeting")
    # A room: widgets, the meeting interfaces and itself.
    return target in ("widgets", "meeting", source)


def check(src):
    src = Path(src)
    core = core_files(src)
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        name = path.relative_to(src).as_posix()
        own = layer(name, core)
        text = path.read_text(encoding="utf-8")
        for match in INCLUDE.finditer(text):
            quoted, header = match.group(1) == '"', match.group(2)
            line = text.count("\n", 0, match.start()) + 1
            where = f"src/{name}:{line}"
            if GENERATED.match(header):
                if own in ("core", "widgets"):
                    faults.append(f"{where}: {own} file includes the form header {header}")
                continue
            if not quoted:
                if own == "core" and QT_HEADER.match(header):
                    faults.append(f"{where}: core file includes the Qt header <{header}>")
                continue
            if not (src / header).is_file():
                if (path.parent / header).is_file():
                    faults.append(f'{where}: "{header}" names no folder; write '
                                  f'"{(path.parent / header).relative_to(src).as_posix()}"')
                else:
                    faults.append(f'{where}: "{header}" is no file below src/')
                continue
            target = layer(header, core)
            if may_include(own, target) or (name, header) in ALLOWED:
                continue
            faults.append(f"{where}: {own} file includes {header} ({target})")
    return faults


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    faults = check(sys.argv[1])
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) break the layers")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
