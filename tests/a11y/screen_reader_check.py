#!/usr/bin/python3
"""Reads the running program the way a screen reader does, over the desktop's accessibility bus.

    screen_reader_check.py PROGRAM

Run inside tools/desktop-session.sh --a11y (an X server and the AT-SPI bus). Starts PROGRAM with
Qt's accessibility bridge on, then through pyatspi: reads the round duct grid as a table, finds the
two side boxes by their names and reads the velocities picture's description; moves through the
grid with real keys and checks what the focus announces; types a new flow through the real X
input and reads the changed cell back; sets, inserts and deletes text of the flow box over the bus
and reads the cell back again, and sets a zero flow, whose failure box must not hold the call.
Every wait has a deadline. Exit status 0 when all holds.
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

DEADLINE_S = 30  # for any one thing to appear; generous for a loaded machine
failures = []


def check(condition, what):
    print(("ok     " if condition else "FAILED ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def pump():
    """Lets libatspi deliver the events that have arrived."""
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait_for(what, probe):
    """Polls probe() until it returns something true; None after the deadline."""
    end = time.monotonic() + DEADLINE_S
    while time.monotonic() < end:
        pump()
        try:
            found = probe()
        except Exception:  # the tree changes under us while the program starts
            found = None
        if found:
            return found
        time.sleep(0.05)
    print("gave up waiting for " + what, flush=True)
    return None


def find(root, predicate):
    if predicate(root):
        return root
    for index in range(root.childCount):
        child = root.getChildAtIndex(index)
        if child is not None:
            found = find(child, predicate)
            if found is not None:
                return found
    return None


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def window_id():
    found = subprocess.run(["xdotool", "search", "--name", "Quellborn Gustrule"],
                           capture_output=True, text=True).stdout.split()
    return found[0] if found else None


def key(*names):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *names], check=True)


def main(program):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    process = subprocess.Popen([program], env=env)
    focus_events = []
    pyatspi.Registry.registerEventListener(focus_events.append, "focus:")
    try:
        app = wait_for("the program on the accessibility bus", lambda: application(process.pid))
        if not check(app is not None, "the program is on the accessibility bus"):
            return
        grid = wait_for("the round duct table", lambda: find(
            app, lambda a: a.getRole() == pyatspi.ROLE_TABLE and a.name == "Round Duct"))
        if not check(grid is not None, "the round duct grid is a table named 'Round Duct'"):
            return
        table = grid.queryTable()
        check(table.nRows == 23, "23 size rows (%d)" % table.nRows)
        check(table.nColumns == 13, "13 columns (%d)" % table.nColumns)
        headings = [table.getColumnHeader(c).name for c in range(table.nColumns)]
        check(headings[:2] == ["Ø (mm)", "Vel (m/s)"], "column headers %s" % headings[:2])
        sizes = [table.getRowHeader(r).name for r in range(table.nRows)]
        check(sizes[0] == "80" and sizes[-1] == "1500", "row headers from 80 to 1500 mm")
        velocity = headings.index("Vel (m/s)")
        cell = table.getAccessibleAt(sizes.index("80"), velocity)
        check(cell.name == "36.55", "36.55 under 'Vel (m/s)' in the 80 mm row (%r)" % cell.name)
        check(cell.description == "Ø (mm) 80", "its description names its row %r" % cell.description)

        for side in ("Side A (mm)", "Side B (mm)"):
            box = find(app, lambda a: a.getRole() == pyatspi.ROLE_TEXT and a.name == side)
            check(box is not None, "an edit box named %r" % side)

        picture = find(app, lambda a: a.getRole() == pyatspi.ROLE_IMAGE)
        check(picture is not None and picture.name == "Recommended and maximum velocities",
              "the velocities picture is an image named 'Recommended and maximum velocities'")
        if picture is not None:
            lines = picture.description.split("\n")
            check(len(lines) == 10 and lines[0] == "Recommended Velocities (m/s)." and
                  lines[1] == "Main Duct, Rectangular: Residences 3.6, Theaters & Libraries 5, "
                              "Offices 11.2, Industrial 15.2." and
                  lines[5] == "Maximum Velocities (m/s).",
                  "its description reads both tables (%r...)" % lines[:2])

        window = wait_for("the window on the X server", window_id)
        if not check(window is not None, "the window is on the X server"):
            return
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        # From the tabs into the grid, then down over the headings onto the 80 mm row.
        key("Tab")
        wait_for("the grid to take the focus",
                 lambda: focus_events and focus_events[-1].source.name == "Round Duct")
        key("Down")
        key("Down")
        announced = wait_for("the focus on the 80 mm velocity", lambda: [
            e for e in focus_events
            if e.source.name == "36.55" and e.source.description == "Ø (mm) 80"])
        check(bool(announced), "moving down announces '36.55', described 'Ø (mm) 80'")

        # Into the flow box (the focus selects its text) and a new flow, typed on the keyboard.
        key("Tab")
        wait_for("the flow box to take the focus",
                 lambda: focus_events[-1].source.name == "Air Volume Flow (l/s)")
        subprocess.run(["xdotool", "type", "--delay", "60", "250"], check=True)
        changed = wait_for("the 80 mm velocity for 250 l/s", lambda: table.getAccessibleAt(
            sizes.index("80"), velocity).name == "49.74")
        check(bool(changed), "after typing 250 l/s the cell reads 49.74")

        # Edits made over the bus, as on-screen keyboards and dictation make them, recalculate.
        flow = find(app, lambda a: a.getRole() == pyatspi.ROLE_TEXT and
                    a.name == "Air Volume Flow (l/s)" and a.getState().contains(pyatspi.STATE_FOCUSED))
        editable = flow.queryEditableText()
        for edit, text, expected in ((lambda: editable.setTextContents("300"), "300", "59.68"),
                                     (lambda: editable.insertText(0, "1", 1), "1300", "258.63"),
                                     (lambda: editable.deleteText(0, 1), "300", "59.68")):
            edit()
            read = wait_for("the 80 mm velocity for %s l/s" % text, lambda: table.getAccessibleAt(
                sizes.index("80"), velocity).name == expected)
            check(bool(read), "after the flow box was set to %s over the bus the cell reads %s"
                  % (text, expected))
        # The failure box that a zero opens does not hold the call's reply.
        pyatspi.setTimeout(2000, 15000)
        try:
            editable.setTextContents("0")
            returned = True
        except Exception:
            returned = False
        check(returned, "setting the flow to 0 over the bus returns within 2 s")
        box = wait_for("the failure box", lambda: find(
            app, lambda a: a.getRole() == pyatspi.ROLE_ALERT and a.getState().contains(
                pyatspi.STATE_SHOWING)))
        check(box is not None and find(box, lambda a: a.name == "Floating point division by "
                                       "zero.") is not None,
              "then the failure box says 'Floating point division by zero.'")
        key("Return")
    finally:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: screen_reader_check.py PROGRAM")
    main(sys.argv[1])
    print("%d failed" % len(failures) if failures else "all checks held", flush=True)
    sys.exit(1 if failures else 0)
