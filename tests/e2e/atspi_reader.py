#!/usr/bin/python3
"""A screen reader's walk through the real program, through AT-SPI alone: it finds the
diary editor and the month grid by their names, moves the grid to New Year's Day with the
keys, reads the day cell's description and the day's text with the caret, types a line and
reads it back, presses the tool bar's 保存 by its name, and hears the focus move to the next
day. Keys go to the X server (xdotool), as a user's keyboard would send them.

Usage: atspi_reader.py SAVED_DAY_FILE   (prints a line per step; exits 1 on a failure)
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def fail(message):
    print("atspi reader: FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def log(message):
    print("atspi reader: " + message, file=sys.stderr)


def pump(seconds):
    """Lets the events that arrived be delivered."""
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def key(*names):
    for name in names:
        subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True, timeout=10)
        time.sleep(0.12)
    pump(0.3)


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is None:
            continue
        # Cells hold nothing below them.
        if child.getRole() == pyatspi.ROLE_TABLE_CELL:
            yield child
        else:
            yield from walk(child, depth + 1)


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(150):
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and "mekuri" in (app.name or "").lower():
                return app
        time.sleep(0.2)
    fail("the program is not on the accessibility bus")


def find(app, name, roles):
    for _ in range(50):
        for node in walk(app):
            if node.name == name and node.getRole() in roles:
                return node
        time.sleep(0.2)
    fail("nothing named %r with a role in %s" % (name, roles))


def cells(table):
    t = table.queryTable()
    return [t.getAccessibleAt(r, c) for r in range(t.nRows) for c in range(t.nColumns)]


def selected_cell(table):
    for cell in cells(table):
        if cell.getState().contains(pyatspi.STATE_SELECTED):
            return cell
    fail("no day cell is selected")


def main():
    saved_file = sys.argv[1]
    app = find_app()
    editor = find(app, "日記", (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY))
    grid = find(app, "月のカレンダー", (pyatspi.ROLE_TABLE,))
    save = find(app, "保存", (pyatspi.ROLE_PUSH_BUTTON,))
    log("found the editor, the month grid and the 保存 button")

    # Keyboard to the grid, then to January of next year with Page Down, then to the 1st.
    grid.queryComponent().grabFocus()
    pump(0.3)
    if not grid.getState().contains(pyatspi.STATE_FOCUSED):
        fail("the month grid did not take the focus")
    month = int(time.strftime("%m"))
    key(*(["Next"] * (13 - month)))
    target = None
    for _ in range(40):
        name = selected_cell(grid).name
        if name.startswith("1月1日 "):
            target = name
            break
        if not name.startswith("1月"):
            fail("Page Down did not reach January: " + name)
        key("Left")
    if target is None:
        fail("the arrow keys did not reach 1月1日")
    log("selected cell: " + target)
    if "祝日 元日" not in target or "日記あり" not in target:
        fail("the cell does not say the holiday and the entry: " + target)

    text = editor.queryText()
    for _ in range(30):
        if text.characterCount > 0:
            break
        pump(0.1)
    day_text = text.getText(0, -1)
    log("the day's text: %r, caret at %d" % (day_text, text.caretOffset))
    if day_text != "元日の日記\n":
        fail("the editor reads %r" % day_text)
    if not 0 <= text.caretOffset <= len(day_text):
        fail("the caret offset %d is outside the text" % text.caretOffset)

    # The reader puts the caret on the empty last line and the user types a line there.
    editor.queryComponent().grabFocus()
    pump(0.3)
    if not editor.getState().contains(pyatspi.STATE_FOCUSED):
        fail("the editor did not take the focus")
    # A day with an entry opens locked: the reader hears that it cannot be written, and
    # unlocks it from the editor's pop-up menu, opened with the Menu key.
    if editor.getState().contains(pyatspi.STATE_EDITABLE):
        fail("the editor says a locked day is editable")
    key("Menu")
    key("e")
    pump(0.3)
    if not editor.getState().contains(pyatspi.STATE_EDITABLE):
        fail("編集可能 from the Menu key did not unlock the day")
    text.setCaretOffset(len(day_text))
    pump(0.2)
    if text.caretOffset != len(day_text):
        fail("the caret went to %d, not %d" % (text.caretOffset, len(day_text)))
    subprocess.run(["xdotool", "type", "--delay", "40", "read aloud"], check=True, timeout=20)
    pump(0.5)
    typed = text.getText(0, -1)
    log("after typing: %r, caret at %d" % (typed, text.caretOffset))
    if typed != "元日の日記\nread aloud":
        fail("the editor reads %r after typing" % typed)
    if text.caretOffset != len(typed):
        fail("the caret stands at %d after typing, not at the end %d" % (text.caretOffset, len(typed)))
    line_text = text.getTextAtOffset(len(day_text) + 2, pyatspi.TEXT_BOUNDARY_LINE_START)
    if line_text[0] != "read aloud":
        fail("the line at the caret reads %r" % (line_text,))

    # 保存 by its name, as a reader's command would press it.
    action = save.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail("保存 offers no press: %s" % names)
    action.doAction(names.index("Press"))
    for _ in range(50):
        try:
            with open(saved_file, "rb") as f:
                if f.read().decode("cp932") == "元日の日記\r\nread aloud":
                    break
        except OSError:
            pass
        time.sleep(0.1)
    else:
        fail("保存 did not write the typed line into " + saved_file)
    log("保存 wrote the day file")

    # The next day with the arrow key: the reader hears the focus reach its cell.
    heard = []

    def on_focus(event):
        if event.detail1 == 1 and event.source is not None:
            heard.append(event.source.name)

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    grid.queryComponent().grabFocus()
    pump(0.5)
    heard.clear()
    key("Right")
    for _ in range(30):
        if any(h.startswith("1月2日 ") for h in heard):
            break
        pump(0.1)
    pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")
    log("heard focus on: %s" % heard)
    if not any(h.startswith("1月2日 ") for h in heard):
        fail("no focus event for 1月2日 after Right: %s" % heard)
    print("atspi reader: ok")


if __name__ == "__main__":
    main()
