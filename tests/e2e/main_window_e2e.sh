#!/usr/bin/env bash
# Starts the program under a private X server, checks the window, steps the calendar
# with the navigation buttons, closes it through the File menu and expects exit status 0.
# Leaves screenshots in the build folder.
set -euo pipefail
program=$1
out=$2
fail() { echo "e2e: $*" >&2; exit 1; }
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_x
start_program

title="簡易日記・スケジューラー Mekuri v.1.16"
win=$(find_window "Mekuri v.1.16")
[ -n "$win" ] || fail "the main window did not appear"
name=$(xdotool getwindowname "$win")
[ "$name" = "$title" ] || fail "window title is '$name'"
sleep 0.5

eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y, WIDTH, HEIGHT
import -window root "$out/e2e_start.png"

# The date fields sit in the panel below the tool bar; capture them to see them change.
fields() { import -window root -crop "230x30+$((X))+$((Y + 40))" -depth 8 rgb:- | md5sum; }
panel_y=$(( Y + 57 ))
click_at() { xdotool mousemove "$1" "$2" click "${3:-1}"; sleep 0.3; }

before=$(fields)
click_at $((X + 248 + 15 + 96)) "$panel_y"        # 月毎: one month forward
after_month=$(fields)
[ "$before" != "$after_month" ] || fail "月毎 did not change the date fields"
click_at $((X + 248 + 15 + 96)) "$panel_y" 3      # right press: one month back
after_back=$(fields)
[ "$after_back" = "$before" ] || fail "a right press on 月毎 did not step back"
click_at $((X + 248 + 15)) "$panel_y"             # 日毎
[ "$(fields)" != "$before" ] || fail "日毎 did not change the date fields"
click_at $((X + 376 + 16)) "$panel_y"             # 今日
[ "$(fields)" = "$before" ] || fail "今日 did not return to today"
# A click on another day of the month grid moves the week list and the fields with it.
week() { import -window root -crop "600x100+$((X + 2))+$((Y + 195))" -depth 8 rgb:- | md5sum; }
week_before=$(week)
click_at $((X + 132)) $((Y + 138))               # third row of the grid, second column
[ "$(week)" != "$week_before" ] || fail "the week list did not follow a click in the month grid"
[ "$(fields)" != "$before" ] || fail "the date fields did not follow a click in the month grid"
import -window root "$out/e2e_main_window.png"

# ファイル(&F) → 閉じる(&C)
click_at $((X + 25)) $((Y + 8))
import -window root "$out/e2e_file_menu.png"
xdotool key c
status=0
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then fail "the program did not close from the File menu"; fi
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "e2e: main window ok (screenshots in $out)"
