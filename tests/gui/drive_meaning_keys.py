#!/usr/bin/python3
"""Drives the Meaning window of the real gridwell program from the keyboard
alone (real X key presses through xdotool) and reads what happens over
AT-SPI.

Usage: drive_meaning_keys.py PID

Finds "c?t", goes to the rows with Alt+S and opens CAT's meaning with Enter:
the window must open titled "Meaning of CAT", beside the main window, not
over its list, and leave the keyboard in the rows. Down then moves to COT,
which the window follows, still without taking the focus. F6 goes over to
the Meaning window's text and back. Escape closes the Meaning window only;
the next Escape ends the program. Exits 1 on a problem.
"""
import subprocess
import sys
import time

import pyatspi

from drive_keyboard import app_of, descendants, expect, focus_on_rows, focused, keys, selected_words, solutions


def meaning_window(app):
    for node in app:
        if node is not None and node.name.startswith("Meaning of "):
            return node
    return None


def showing(node):
    return node is not None and node.getState().contains(pyatspi.STATE_SHOWING)


def wait_until(check, timeout=5):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if check():
            return True
        time.sleep(0.2)
    return check()


def active_window_name():
    out = subprocess.run(["xdotool", "getactivewindow", "getwindowname"], capture_output=True, text=True)
    return out.stdout.strip() if out.returncode == 0 else None


def main():
    pid = int(sys.argv[1])
    app = app_of(pid)
    # A window manager has made the window active already; without one,
    # xdotool cannot wait for that.
    subprocess.run(["xdotool", "search", "--sync", "--pid", str(pid), "--name", "^Gridwell$",
                    "windowactivate"], check=False)
    time.sleep(1)
    subprocess.run(["xdotool", "type", "c?t"], check=True)
    keys("Return")
    table = solutions(app)
    expect("Find listed the words", table is not None and table.queryTable().nRows == 3)
    keys("alt+s")
    expect("Alt+S puts the focus on the rows", focus_on_rows(app) and selected_words(table) == ["CAT"])

    keys("Return")
    expect("Enter opens the Meaning window", wait_until(lambda: showing(meaning_window(app))))
    wnd = meaning_window(app)
    expect("it is titled after the word (%r)" % wnd.name, wnd.name == "Meaning of CAT")
    time.sleep(0.5)
    expect("the keyboard stays in the rows", focus_on_rows(app))
    active = active_window_name()
    expect("the main window stays active (%r)" % active, active in (None, "Gridwell"))
    win = wnd.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    rows = table.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    overlap = (win.x < rows.x + rows.width and rows.x < win.x + win.width and
               win.y < rows.y + rows.height and rows.y < win.y + win.height)
    expect("it opens beside the main window, not over the list (%s, list %s)" %
           ((win.x, win.y, win.width, win.height), (rows.x, rows.y, rows.width, rows.height)), not overlap)

    keys("Down")
    expect("Down moves to the next row", selected_words(table) == ["COT"])
    expect("the Meaning window follows (%r)" % wnd.name, wait_until(lambda: wnd.name == "Meaning of COT"))
    time.sleep(0.5)
    expect("the keyboard is still in the rows", focus_on_rows(app))

    keys("F6")
    expect("F6 goes over to the Meaning window's text",
           wait_until(lambda: (lambda n: n is not None and n.getRole() == pyatspi.ROLE_TEXT
                               and n.name == "Meaning of COT")(focused(app))))
    keys("F6")
    expect("F6 comes back to the rows", wait_until(lambda: focus_on_rows(app)))

    keys("Escape")
    expect("Escape closes the Meaning window", wait_until(lambda: not showing(wnd)))
    expect("and only it", solutions(app) is not None)
    keys("Escape")


if __name__ == "__main__":
    main()
