#!/usr/bin/python3
# Reads the game's table on the accessibility bus: the piles of the list
# "Card table" and their names; then presses Down and Space in the window and
# reads again. Prints what it read; exits 1 when the table is not readable.
import subprocess
import sys
import time

import pyatspi


def find_table(timeout):
    deadline = time.time() + timeout
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None or "trisk" not in (app.name or "").lower():
                continue
            found = pyatspi.findDescendant(app, lambda a: a is not None and a.name == "Card table")
            if found is not None:
                return found
        time.sleep(0.3)
    return None


def names(table):
    return [table.getChildAtIndex(i).name for i in range(table.childCount)]


table = find_table(30)
if table is None:
    print("no table on the accessibility bus")
    sys.exit(1)
before = names(table)
for name in before:
    print(name)
expected = int(sys.argv[1])
if len(before) != expected or not all(before):
    print(f"expected {expected} named piles, read {len(before)}")
    sys.exit(1)
window = sys.argv[2]
subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
subprocess.run(["xdotool", "key", "Down", "space"], check=True)
time.sleep(2)
after = names(table)
changed = [(a, b) for a, b in zip(before, after) if a != b]
focused = [table.getChildAtIndex(i).name for i in range(table.childCount)
           if table.getChildAtIndex(i).getState().contains(pyatspi.STATE_FOCUSED)]
print("focused:", focused)
for a, b in changed:
    print(f"changed: {a} -> {b}")
sys.exit(0 if changed and focused and focused[0].startswith("Stock") else 1)
