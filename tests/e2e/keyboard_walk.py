#!/usr/bin/python3
"""The keyboard alone, no mouse event at all: Tab to the month grid, choose a day with the
arrow and page keys, Tab to the editor, write an entry, save it with Ctrl+S, find it with
the diary search, and write the month to a PDF through ファイル → 期間を書き出す. AT-SPI only
reads where the focus is and what the program shows; every action is a key.

Usage: keyboard_walk.py DIARY_FOLDER
"""
import glob
import os
import re
import subprocess
import sys
import time

import pyatspi

from atspi_reader import fail, find, find_app, key, pump, selected_cell, walk


def log(message):
    print("keyboard walk: " + message, file=sys.stderr)


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def tab_to(node, what):
    for _ in range(40):
        if focused(node):
            return
        key("Tab")
    fail("Tab never reached " + what)


def main():
    folder = sys.argv[1]
    exports = sys.argv[2]
    app = find_app()
    grid = find(app, "月のカレンダー", (pyatspi.ROLE_TABLE,))
    editor = find(app, "日記", (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY))
    year_field = find(app, "年", (pyatspi.ROLE_SPIN_BUTTON,))

    tab_to(grid, "the month grid")
    # A day of next month: Page Down, then the first day of its week row, then two on.
    key("Next", "Home", "Right", "Right")
    name = selected_cell(grid).name
    m = re.match(r"(\d+)月(\d+)日 ", name)
    if not m:
        fail("the selected cell says " + name)
    month, day = int(m.group(1)), int(m.group(2))
    year = int(year_field.queryValue().currentValue)
    log("chose %d-%02d-%02d (%s)" % (year, month, day, name))

    tab_to(editor, "the editor")
    if not editor.getState().contains(pyatspi.STATE_EDITABLE):
        fail("the chosen day is locked")
    subprocess.run(["xdotool", "type", "--delay", "40", "keyboard only entry"], check=True, timeout=20)
    key("ctrl+s")
    if month == 1 and day > 10 and day % 10 != 0:
        day_file = os.path.join(folder, "%d-01-%02d.dat" % (year, day))
    else:
        day_file = os.path.join(folder, "%d%d%d.dat" % (year, month, day))
    for _ in range(50):
        if os.path.exists(day_file):
            break
        time.sleep(0.1)
    with open(day_file, "rb") as f:
        if not f.read().startswith(b"keyboard only entry"):
            fail("Ctrl+S wrote something else into " + day_file)
    log("saved " + os.path.basename(day_file))

    # The diary search finds the day.
    key("ctrl+shift+f")
    search = None
    for _ in range(50):
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if w is not None and "日記全体から検索" in (w.name or ""):
                search = w
        if search:
            break
        pump(0.2)
    if search is None:
        fail("Ctrl+Shift+F opened no search window")
    subprocess.run(["xdotool", "type", "--delay", "40", "keyboard only"], check=True, timeout=20)
    key("Return")
    pump(1.0)
    shown = " | ".join(n.name for n in walk(search) if n.name)
    if "%d/%02d/%02d" % (year, month, day) not in shown or "keyboard only entry" not in shown:
        fail("the search window does not show the day: " + shown[:400])
    log("the search lists the day")
    key("Escape")
    subprocess.run(["xdotool", "search", "--name", "Mekuri v.1.16", "windowfocus", "--sync"], timeout=10)
    pump(0.3)

    # ファイル → 期間を書き出す, PDF, OK: the chosen day's month goes into a PDF.
    key("alt+f", "e")
    pump(0.8)
    key("alt+m", "End", "Return")
    pdfs = []
    for _ in range(100):
        pdfs = glob.glob(os.path.join(exports, "**", "*.pdf"), recursive=True)
        if pdfs and os.path.getsize(pdfs[0]) > 0:
            break
        time.sleep(0.1)
    if not pdfs:
        fail("no PDF was written into " + exports)
    with open(pdfs[0], "rb") as f:
        if not f.read(5) == b"%PDF-":
            fail(pdfs[0] + " is no PDF")
    log("wrote " + os.path.basename(pdfs[0]))
    print("keyboard walk: ok")


if __name__ == "__main__":
    main()
