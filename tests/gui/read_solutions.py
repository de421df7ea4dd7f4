#!/usr/bin/python3
"""Reads the Gridwell solutions list as a screen reader would, over AT-SPI.

Usage: read_solutions.py PID

Finds the application with process id PID on the accessibility bus, the
table or list labelled "Solutions:" in it, and prints the label on the first
line and then each row's text, one per line; a row's further cells that
have text (a clue's reason) follow its word after a TAB. Exits 1 when it
finds none.
"""
import sys

import pyatspi

TABLE_ROLES = (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_TREE)


def label_of(acc):
    if acc.name:
        return acc.name
    for rel in acc.getRelationSet():
        if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY and rel.getNTargets() > 0:
            return rel.getTarget(0).name
    return ""


def main():
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    app = None
    for candidate in desktop:
        try:
            if candidate is not None and candidate.get_process_id() == pid:
                app = candidate
                break
        except Exception:
            continue
    if app is None:
        sys.exit("application %d not on the accessibility bus" % pid)

    tables = []
    pyatspi.findAllDescendants(app, lambda a: a.getRole() in TABLE_ROLES) and None
    tables = pyatspi.findAllDescendants(app, lambda a: a.getRole() in TABLE_ROLES)
    for table in tables:
        label = label_of(table).replace("_", "").replace("&", "")
        if label != "Solutions:":
            continue
        print(label)
        try:
            t = table.queryTable()
            for row in range(t.nRows):
                cells = [t.getAccessibleAt(row, col) for col in range(t.nColumns)]
                texts = [cell.name if cell is not None else "" for cell in cells]
                print("\t".join([texts[0]] + [text for text in texts[1:] if text]))
        except NotImplementedError:
            for child in table:
                print(child.name)
        return
    sys.exit("no list labelled Solutions: among %s" % [(t.getRoleName(), label_of(t)) for t in tables])


if __name__ == "__main__":
    main()
