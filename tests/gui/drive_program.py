#!/usr/bin/python3
"""Drives the real gridwell program over AT-SPI, as a screen-reader user would.

Usage: drive_program.py PID

Waits for the program's "Gridwell" window, types "c?t" into the pattern box,
presses Find and reads the solutions, opens Help and checks that a help
window appears, then presses Exit. Prints what it saw; exits 1 on a problem.
"""
import sys
import time

import pyatspi


def find_app(pid, timeout=20):
    deadline = time.time() + timeout
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        time.sleep(0.2)
    sys.exit("program %d never reached the accessibility bus" % pid)


def find(root, predicate, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = pyatspi.findDescendant(root, predicate)
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def named(role, name):
    return lambda a: a is not None and a.getRole() == role and a.name.replace("_", "") == name


def press(button):
    action = button.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("click", "press", "activate"):
            action.doAction(i)
            return
    action.doAction(0)


def main():
    pid = int(sys.argv[1])
    app = find_app(pid)
    window = find(app, lambda a: a is not None and a.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME)
                  and a.name == "Gridwell")
    if window is None:
        sys.exit("no window captioned Gridwell")
    print("window:", window.name)

    combo = find(window, lambda a: a is not None and a.getRole() == pyatspi.ROLE_COMBO_BOX)
    entry = find(combo, lambda a: a is not None and a.getRole() == pyatspi.ROLE_TEXT) if combo else None
    if entry is None:
        sys.exit("no pattern box")
    entry.queryEditableText().setTextContents("c?t")
    press(find(window, named(pyatspi.ROLE_PUSH_BUTTON, "Find")))

    deadline = time.time() + 10
    words = []
    while time.time() < deadline and not words:
        table = find(window, lambda a: a is not None and a.getRole() == pyatspi.ROLE_TABLE and a.name == "Solutions:")
        if table is not None:
            t = table.queryTable()
            words = [t.getAccessibleAt(r, 0).name for r in range(t.nRows)]
        time.sleep(0.2)
    print("solutions:", " ".join(words))
    if words != ["CAT", "COT", "CUT"]:
        sys.exit("Find listed %s" % words)

    press(find(window, named(pyatspi.ROLE_PUSH_BUTTON, "Help")))
    help_window = find(app, lambda a: a is not None and a.getRole() == pyatspi.ROLE_FRAME and "Help" in a.name)
    if help_window is None:
        sys.exit("Help opened no window")
    print("help:", help_window.name)

    press(find(window, named(pyatspi.ROLE_PUSH_BUTTON, "Exit")))
    print("exit pressed")


if __name__ == "__main__":
    main()
