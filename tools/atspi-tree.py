#!/usr/bin/python3
"""Lists the accessibility tree of a running Tavik as the desktop's accessibility bus serves it.

Run inside the session of the program, for example:
  dbus-run-session -- sh -c '/usr/libexec/at-spi-bus-launcher --launch-immediately &
      QT_ACCESSIBILITY=1 tavik & sleep 12; /usr/bin/python3 tools/atspi-tree.py'
Focusable controls are marked [F]; a focusable control without a name is a fault.
"""
import sys

import pyatspi


def walk(acc, depth, out):
    try:
        state = acc.getState()
        if depth > 0 and not state.contains(pyatspi.STATE_SHOWING):
            return
        focusable = state.contains(pyatspi.STATE_FOCUSABLE)
        line = "%s%s %r" % ("  " * depth, acc.getRoleName(), acc.name)
        if focusable:
            line += " [F]"
        if acc.description:
            line += " desc=%r" % acc.description
        out.append(line)
        # The lines of lists and the entries of combo boxes are their values.
        if acc.getRoleName() in ("list", "table", "tree table", "combo box", "menu bar"):
            return
        for i in range(acc.childCount):
            walk(acc.getChildAtIndex(i), depth + 1, out)
    except Exception as e:  # a window that went away meanwhile
        out.append("%s(gone: %s)" % ("  " * depth, e))


def main():
    out = []
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and "tavik" in (app.name or "").lower():
            walk(app, 0, out)
    print("\n".join(out) if out else "no Tavik on the accessibility bus")
    return 0 if out else 1


if __name__ == "__main__":
    sys.exit(main())
