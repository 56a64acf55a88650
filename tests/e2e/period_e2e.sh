#!/usr/bin/env bash
# Exports the month shown through ファイル → 期間を書き出す with the keyboard, as a person
# would, and compares the file with what `mekuri export` writes for the same days. Leaves
# a screenshot of the period dialog in the build folder.
set -euo pipefail
program=$1
out=$2
fail() { echo "e2e period: $*" >&2; exit 1; }
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

# Two days of this month with text, one empty, one of the month before.
y=$(date +%Y); m=$(date +%-m)
printf '%s' $'今月一日の日記。\r\n二行目\r\n' | iconv -f UTF-8 -t CP932 > "$diary/$(date +%Y)${m}1.dat"
printf '%s' $'二日目' | iconv -f UTF-8 -t CP932 > "$diary/${y}${m}2.dat"
: > "$diary/${y}${m}3.dat"
prev=$(date -d "$(date +%Y-%m-01) -1 day" +%Y%-m%-d)
echo previous > "$diary/$prev.dat"

# A home of its own, with the documents folder the export is proposed in.
home=$(mktemp -d)
trap 'cleanup; rm -rf "$home"' EXIT
mkdir "$home/Documents"
export HOME=$home XDG_CONFIG_HOME=$home/.config

start_x
start_program
win=$(find_window "Mekuri v.1.16")
[ -n "$win" ] || fail "the main window did not appear"
sleep 0.5
key() { xdotool key "$@"; sleep 0.4; }

# ファイル(F) opened with the mouse (the editor has the focus and takes Alt keys as text),
# then the item's key.
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y, WIDTH, HEIGHT
xdotool mousemove $((X + 30)) $((Y + 8)) click 1
sleep 0.5
key e
dialog=$(find_window "期間を書き出す")
[ -n "$dialog" ] || fail "the period dialog did not open"
sleep 0.5
import -window root "$out/e2e_period_dialog.png"
# The month shown is offered with a file named after it in the documents folder: accept.
key Return
file="$home/Documents/$(date +%Y-%m).txt"
for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
[ -s "$file" ] || fail "no file $file"
[ ! -e "$diary/$(date +%Y-%m).txt" ] || fail "the export landed among the day files"

first=$(date +%Y-%m-01)
last=$(date -d "$first +1 month -1 day" +%Y-%m-%d)
"$program" export --folder "$diary" --from "$first" --to "$last" > "$diary/expected.txt"
cmp "$file" "$diary/expected.txt" || fail "the window's export differs from mekuri export"
grep -q previous "$file" && fail "a day of the month before was exported"
[ "$(grep -c '^[0-9-]*(.)$' "$file")" = 2 ] || fail "two days expected in $(cat "$file")"
echo "e2e period: exported $(wc -c < "$file") bytes through the dialog"
