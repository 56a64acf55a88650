#!/usr/bin/env bash
# The tool bar collapses and expands by its tab, and ヘルプ → アバウト shows the readme box
# with the pointer on its OK button. Leaves screenshots in the build folder.
set -euo pipefail
program=$1
out=$2
fail() { echo "e2e controls: $*" >&2; exit 1; }
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_x
start_program
win=$(find_window "Mekuri v.1.16")
[ -n "$win" ] || fail "the main window did not appear"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y, WIDTH, HEIGHT

# The date fields move up when the bar collapses and come back when it expands.
fields() { import -window root -crop "230x30+$((X))+$((Y + 40))" -depth 8 rgb:- | md5sum; }
tab_x=$((X + 6)) tab_y=$((Y + 30))  # inside the tab in both states
xdotool mousemove 600 600
sleep 0.2
before=$(fields)
# The pointer leaves the tab after each click, so that its highlight is not compared.
xdotool mousemove "$tab_x" "$tab_y" click 1 mousemove 600 600
sleep 0.5
import -window root "$out/e2e_toolbar_collapsed.png"
[ "$(fields)" != "$before" ] || fail "a click on the tab did not collapse the tool bar"
xdotool mousemove "$tab_x" "$tab_y" click 1 mousemove 600 600
sleep 0.5
import -window root "$out/e2e_toolbar_expanded.png"
[ "$(fields)" = "$before" ] || fail "a second click on the tab did not expand the tool bar"

xdotool mousemove 10 10 key alt+h
sleep 0.3
xdotool key a
box=$(find_window "バージョン情報・説明")
[ -n "$box" ] || fail "アバウト did not show the readme box"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell --prefix BOX_ "$box")"
eval "$(xdotool getmouselocation --shell)"  # X, Y of the pointer
[ "$X" -eq $((BOX_X + 375 + 37)) ] && [ "$Y" -eq $((BOX_Y + 268 + 12)) ] ||
  fail "the pointer is at $X,$Y, not on OK of the box at $BOX_X,$BOX_Y"
import -window root "$out/e2e_readme.png"
xdotool key Return
for _ in $(seq 50); do
  [ -z "$(xdotool search --onlyvisible --name "バージョン情報・説明" 2>/dev/null || true)" ] && break
  sleep 0.1
done
[ -z "$(xdotool search --onlyvisible --name "バージョン情報・説明" 2>/dev/null || true)" ] || fail "OK did not close the box"
echo "e2e: tool bar and readme ok (screenshots in $out)"
