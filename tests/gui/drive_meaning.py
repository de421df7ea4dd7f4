#!/usr/bin/python3
"""Drives the real gridwell program over AT-SPI: a clue and the Meaning
window.

Usage: drive_meaning.py PID

Types "w?r?h?g" as the pattern and pastes "Tusked savanna dweller" as the
clue, presses Find and reads the solutions as a screen reader does (WARTHOG
first, its reason beside it), double-clicks WARTHOG with the mouse (xdotool),
reads the whole text of the Meaning window ("Meaning of WARTHOG"), presses Escape there and checks
that the window went away, then presses Exit. Exits 1 on a problem.
"""
import subprocess
import sys
import time

import pyatspi

from drive_program import find, find_app, named, press


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def main():
    pid = int(sys.argv[1])
    app = find_app(pid)
    window = find(app, lambda a: a is not None and a.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME)
                  and a.name == "Gridwell")
    if window is None:
        sys.exit("no window captioned Gridwell")
    combo = find(window, lambda a: a is not None and a.getRole() == pyatspi.ROLE_COMBO_BOX)
    entry = find(combo, lambda a: a is not None and a.getRole() == pyatspi.ROLE_TEXT) if combo else None
    clue = find(window, lambda a: a is not None and a.getRole() == pyatspi.ROLE_TEXT
                and a.name.replace("_", "").startswith("Clue"))
    if entry is None or clue is None:
        sys.exit("no pattern box or no clue box")
    entry.queryEditableText().setTextContents("w?r?h?g")
    clue.queryEditableText().setTextContents("Tusked savanna dweller")
    press(find(window, named(pyatspi.ROLE_PUSH_BUTTON, "Find")))

    deadline = time.time() + 10
    words, reason, table = [], "", None
    while time.time() < deadline and words[:1] != ["WARTHOG"]:
        table = find(window, lambda a: a is not None and a.getRole() == pyatspi.ROLE_TABLE and a.name == "Solutions:")
        if table is not None:
            t = table.queryTable()
            words = [t.getAccessibleAt(r, 0).name for r in range(t.nRows)]
            reason = t.getAccessibleAt(0, 1).name if t.nRows and t.nColumns > 1 else ""
        time.sleep(0.2)
    print("solutions of the clue:", " ".join(words), "| first reason:", reason)
    if words[:1] != ["WARTHOG"] or len(words) != 3:
        sys.exit("Find with a clue listed %s" % words)
    if not reason.startswith("definition: African wild swine"):
        sys.exit("the reason beside WARTHOG reads %r" % reason)

    cell = table.queryTable().getAccessibleAt(0, 0)
    x, y, w, h = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    # A real double click, through the X server (xdotool).
    subprocess.run(["xdotool", "mousemove", "--sync", str(x + min(w, 40) // 2), str(y + h // 2),
                    "click", "--repeat", "2", "--delay", "80", "1"], check=True)

    meaning = find(app, lambda a: a is not None and a.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME)
                   and a.name == "Meaning of WARTHOG")
    if meaning is None:
        sys.exit("a double click on WARTHOG opened no Meaning window")
    text_box = find(meaning, lambda a: a is not None and a.getRole() == pyatspi.ROLE_TEXT)
    if text_box is None:
        sys.exit("the Meaning window has no text for a screen reader")
    text = text_of(text_box)
    print("meaning window reads %d characters, starting: %s" % (len(text), text.splitlines()[0] if text else ""))
    if "African wild swine" not in text or not text.startswith("Overview of noun warthog"):
        sys.exit("the Meaning window reads %r" % text[:200])

    text_box.queryComponent().grabFocus()
    time.sleep(0.3)
    subprocess.run(["xdotool", "key", "--clearmodifiers", "Escape"], check=True)
    deadline = time.time() + 5
    while time.time() < deadline and showing(meaning):
        time.sleep(0.2)
    if showing(meaning):
        sys.exit("Escape left the Meaning window open")
    print("Escape closed the Meaning window")

    press(find(window, named(pyatspi.ROLE_PUSH_BUTTON, "Exit")))
    print("exit pressed")


if __name__ == "__main__":
    main()
