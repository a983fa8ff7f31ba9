#!/usr/bin/python3
"""Reads the player's window as a screen reader does, through AT-SPI (the system's pyatspi).

  a11y.py start        starts the session's accessibility bus, as a desktop has it running
  a11y.py tree         the window's role and name, then each control's: role|name
  a11y.py focused      the focused control's role|name (waits up to 3 s for one)
  a11y.py value NAME   what the control NAME says besides its name (its description)
"""
import sys
import time

import pyatspi


def window():
    for _ in range(50):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "tavrello" and app.childCount > 0:
                return app[0]
        time.sleep(0.1)
    sys.exit("no tavrello window on the accessibility bus")


def line(accessible):
    return f"{accessible.getRoleName()}|{accessible.name}"


def focused(frame):
    for _ in range(30):
        for child in frame:
            if child.getState().contains(pyatspi.STATE_FOCUSED):
                return line(child)
        time.sleep(0.1)
    return "none"


def main(arguments):
    if arguments == ["start"]:
        pyatspi.Registry.getDesktop(0)
    elif arguments == ["tree"]:
        frame = window()
        print(line(frame))
        for child in frame:
            print(line(child))
    elif arguments == ["focused"]:
        print(focused(window()))
    elif len(arguments) == 2 and arguments[0] == "value":
        print(next(c.description for c in window() if c.name == arguments[1]))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
