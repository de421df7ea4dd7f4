#!/usr/bin/python3
"""Drives the real gridwell program over AT-SPI, as a screen-reader user would.

Usage: drive_program.py PID

Waits for the program's "Gridwell" window, types "c?t" into the pattern box,
presses Find and reads the solutions, checks that the text boxes and the
list's column are named for a screen reader, opens Help and checks that a help
window appears with every button named, closes it, checks the caption of a
message box (Find with no pattern), then presses Exit. Prints what it saw;
exits 1 on a problem.
"""
import subprocess
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

    # What a screen reader announces for the boxes and the list's column.
    texts = [a.name for a in pyatspi.findAllDescendants(window, lambda a: a.getRole() == pyatspi.ROLE_TEXT)]
    header = table.queryTable().getColumnHeader(0)
    print("text boxes:", texts, "combo box:", combo.name, "column:", header.name if header else None)
    if texts != ["Pattern to match:", "Remaining letters:", "Clue:"] or combo.name != "Pattern to match:":
        sys.exit("unnamed or misnamed text boxes")
    if header is None or header.name != "Solutions":
        sys.exit("the list's column header has no name")

    press(find(window, named(pyatspi.ROLE_PUSH_BUTTON, "Help")))
    help_window = find(app, lambda a: a is not None and a.getRole() == pyatspi.ROLE_FRAME and "Help" in a.name)
    if help_window is None:
        sys.exit("Help opened no window")
    print("help:", help_window.name)
    # Its buttons show pictures only; each still has a name.
    buttons = []
    deadline = time.time() + 5
    while time.time() < deadline and len(buttons) < 8:
        buttons = pyatspi.findAllDescendants(help_window, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON)
        time.sleep(0.2)
    names = [b.name for b in buttons]
    print("help buttons:", names)
    if len(names) < 8 or "" in names or "Go back" not in names:
        sys.exit("the help window has unnamed buttons: %s" % names)
    help_window.queryComponent().grabFocus()
    subprocess.run(["xdotool", "key", "--clearmodifiers", "Escape"], check=True)
    deadline = time.time() + 5
    while time.time() < deadline and help_window.getState().contains(pyatspi.STATE_SHOWING):
        time.sleep(0.2)

    # A message box is captioned as the window is: "Gridwell". The button is
    # pressed from the keyboard: the box's modal loop would hold up an
    # AT-SPI action until the box closed.
    entry.queryEditableText().setTextContents("")
    entry.queryComponent().grabFocus()
    time.sleep(0.3)
    subprocess.run(["xdotool", "key", "--clearmodifiers", "Return"], check=True)
    box = find(app, lambda a: a is not None and a.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME,
                                                                 pyatspi.ROLE_ALERT)
               and a != window and pyatspi.findDescendant(
                   a, lambda b: b is not None and b.name.startswith("You have not specified a pattern")) is not None)
    if box is None:
        sys.exit("Find with no pattern showed no message box")
    print("message box caption:", box.name)
    if box.name != "Gridwell":
        sys.exit("the message box is captioned %r" % box.name)
    subprocess.run(["xdotool", "key", "--clearmodifiers", "Return"], check=True)
    deadline = time.time() + 5
    while time.time() < deadline and box.getState().contains(pyatspi.STATE_SHOWING):
        time.sleep(0.2)
    time.sleep(0.3)

    press(find(window, named(pyatspi.ROLE_PUSH_BUTTON, "Exit")))
    print("exit pressed")


if __name__ == "__main__":
    main()
