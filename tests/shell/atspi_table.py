#!/usr/bin/python3
# Reads the game's table on the accessibility bus: the piles of the list
# "Card table" and their names. Then plays by keys in the window and listens
# to the pile events a screen reader hears: the first arrow key focuses the stock,
# and a deal, an undo, the hint's marks, the hint's move and a new game each
# rename piles. Prints what it read; exits 1 when something is missing.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


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


def focused(table):
    return [table.getChildAtIndex(i).name for i in range(table.childCount)
            if table.getChildAtIndex(i).getState().contains(pyatspi.STATE_FOCUSED)]


heard = []
enough = [None]


def listen(event):
    if event.type.startswith("object:state-changed:focused") and not event.detail1:
        return
    parent = event.source.parent
    if parent is not None and parent.name == "Card table":
        heard.append((event.type, event.source.name or ""))
        if enough[0] and enough[0](heard[-1]):
            pyatspi.Registry.stop()


def press(window, keys, seconds, until=None, focus=True):
    """Presses keys in the window (or, without focus, in whatever window has
    the focus) and returns the events heard for seconds, or until one
    satisfies until."""
    heard.clear()
    enough[0] = until
    if focus:
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=10)
    subprocess.run(["xdotool", "key", "--delay", "100"] + keys, check=True, timeout=10)
    fired = []

    def timeout():
        fired.append(True)
        pyatspi.Registry.stop()
        return False

    timer = GLib.timeout_add(int(seconds * 1000), timeout)
    pyatspi.Registry.start()
    if not fired:
        GLib.source_remove(timer)
    return list(heard)


failures = []


def check(what, ok):
    print(("ok: " if ok else "FAILED: ") + what)
    if not ok:
        failures.append(what)


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
pyatspi.Registry.registerEventListener(listen, "object:property-change:accessible-name",
                                       "object:state-changed:focused")


def renamed(events):
    return [name for kind, name in events if kind == "object:property-change:accessible-name"]


events = press(window, ["Down", "space"], 3)
print("heard:", events)
check("the first arrow key focuses the stock", focused(table)[:1] == [names(table)[0]]
      and any(kind.startswith("object:state-changed:focused") and name.startswith("Stock")
              for kind, name in events))
check("a deal renames piles", any(name.startswith("Stock") for name in renamed(events))
      and any(name.startswith("Waste") for name in renamed(events)))

events = press(window, ["ctrl+z"], 2)
print("heard:", events)
check("an undo renames piles", names(table) == before and renamed(events))

# The hint searches for up to five seconds; its marks then rename piles and
# the focus moves to the pile to act on (the marks show for a moment only).
# The bus may deliver the focus before the renames, so both are waited for.
def hint_heard(_event):
    return (any("hint:" in name for name in renamed(heard))
            and any(kind.startswith("object:state-changed:focused") and "hint: " in name
                    for kind, name in heard))


events = press(window, ["h"], 8, hint_heard)
print("heard:", events)
marked = [name for name in names(table) if "hint:" in name]
print("marked:", marked, "focused:", focused(table))
check("the hint's marks are spoken", any("hint:" in name for name in renamed(events))
      and focused(table) and ("hint: move here" in focused(table)[0]
                              or "hint: click here" in focused(table)[0]))
hinted = names(table)
events = press(window, ["space"], 3)
print("heard:", events)
check("Space makes the hint's move", names(table) != hinted
      and not any("hint:" in name for name in names(table)) and renamed(events))

# A new game asks first whether to end this one; Return answers yes. The
# question is a window of its own, which takes the focus: Return goes there
# once it has it (on a busy machine that can take a while).
press(window, ["F2"], 1)
for _ in range(150):
    active = subprocess.run(["xdotool", "getactivewindow"], capture_output=True, text=True,
                            timeout=10).stdout.strip()
    if active and active != window:
        break
    time.sleep(0.1)
events = press(window, ["Return"], 3, focus=False)
print("heard:", events)
check("a new game renames piles", renamed(events))
sys.exit(1 if failures else 0)
