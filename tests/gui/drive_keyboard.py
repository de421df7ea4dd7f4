#!/usr/bin/python3
"""Drives the real gridwell program from the keyboard alone (real X key
presses through xdotool) and reads what happens over AT-SPI.

Usage: drive_keyboard.py PID

Types "c?t" and Enter, then checks that Alt+S puts the focus on the rows with
one current, that Down moves on and Ctrl+C copies that word, that Tab from
the Remaining letters box reaches the rows too, that a history entry with
letters chosen again is read as the screen shows it, that Size from the program
menu makes the window and its list larger, and that Escape ends the program. Exits 1 on a problem.
"""
import subprocess
import sys
import time

import pyatspi


def keys(*names):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *names], check=True)
    time.sleep(0.4)


def app_of(pid, timeout=20):
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


def descendants(root):
    stack = [root]
    while stack:
        node = stack.pop()
        if node is None:
            continue
        yield node
        try:
            stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            pass


def focused(app):
    for node in descendants(app):
        try:
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node
        except Exception:
            pass
    return None


def solutions(app):
    for node in descendants(app):
        if node.getRole() == pyatspi.ROLE_TABLE and node.name == "Solutions:":
            return node
    return None


def selected_words(table):
    t = table.queryTable()
    return [t.getAccessibleAt(r, 0).name for r in range(t.nRows) if t.isRowSelected(r)]


def expect(what, ok):
    print(("ok:   " if ok else "FAIL: ") + what)
    if not ok:
        sys.exit(1)


def focus_on_rows(app):
    node = focused(app)
    if node is not None and node.getRole() == pyatspi.ROLE_TABLE_CELL:
        node = node.parent
    return node is not None and node.getRole() == pyatspi.ROLE_TABLE and node.name == "Solutions:"


def clipboard():
    out = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, text=True)
    return out.stdout


def main():
    pid = int(sys.argv[1])
    app = app_of(pid)
    subprocess.run(["xdotool", "search", "--sync", "--pid", str(pid), "--name", "^Gridwell$",
                    "windowactivate", "--sync"], check=False)
    time.sleep(0.5)
    subprocess.run(["xdotool", "type", "c?t"], check=True)
    keys("Return")
    table = solutions(app)
    expect("Find listed the words", table is not None and table.queryTable().nRows == 3)

    keys("alt+s")
    expect("Alt+S puts the focus on the rows", focus_on_rows(app))
    expect("a row is current and selected", selected_words(table) == ["CAT"])
    keys("Down")
    expect("Down moves to the next row", selected_words(table) == ["COT"])
    keys("ctrl+c")
    expect("Ctrl+C copies the selected word", clipboard() == "COT")

    keys("alt+r")
    keys("Tab")  # to Clue
    keys("Tab")
    expect("Tab from Remaining letters and Clue reaches the rows", focus_on_rows(app))

    # A history entry with letters, chosen again: the pattern box shows the
    # bare pattern and the letters go back to their box; a screen reader
    # still calls the box by its label, and reads the open list as shown.
    keys("alt+p")
    keys("ctrl+a")
    subprocess.run(["xdotool", "type", "c?t"], check=True)
    keys("alt+r")
    subprocess.run(["xdotool", "type", "u"], check=True)
    keys("Return")
    keys("alt+r")
    keys("ctrl+a")
    keys("BackSpace")
    keys("alt+p")
    keys("alt+Down")
    keys("Return")  # the entry shown highlighted, the newest: "c?t (u)"
    # The pattern box, not the dictionary choice (a combo box too).
    combo = next(n for n in descendants(app) if n.getRole() == pyatspi.ROLE_COMBO_BOX and n.name != "Dictionary:")
    boxes = {n.name: n.queryText().getText(0, -1) for n in descendants(app) if n.getRole() == pyatspi.ROLE_TEXT}
    expect("choosing \"c?t (u)\" splits it: %s" % boxes,
           boxes.get("Pattern to match:") == "c?t" and boxes.get("Remaining letters:") == "u")
    expect("the pattern box is announced by its label (%r)" % combo.name, combo.name == "Pattern to match:")
    keys("alt+Down")
    items = [n.name for n in descendants(combo) if n.getRole() == pyatspi.ROLE_MENU_ITEM]
    expect("the open list reads %s" % items, sorted(items) == ["c?t", "c?t (u)"])
    keys("Escape")  # closes the list

    # Size from the program menu: the arrows make the window larger, and the
    # solutions take the room.
    table = solutions(app)
    before = table.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    keys("alt+space")
    keys("s")  # Size and Save share the mnemonic: it goes to Size, the first
    keys("Return")
    for _ in range(5):
        keys("Right")
        keys("Down")
    keys("Return")
    after = table.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    expect("Size and the arrows give the list room (%dx%d to %dx%d)" % (before.width, before.height, after.width,
                                                                         after.height),
           (after.width, after.height) == (before.width + 40, before.height + 40) and after.x == before.x)

    keys("Escape")


if __name__ == "__main__":
    main()
