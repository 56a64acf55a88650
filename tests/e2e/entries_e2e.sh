#!/usr/bin/env bash
# Marks on the days with an entry in the real program: the entries already in the folder are
# marked at start; a file another program writes while Mekuri runs is marked within about a
# second; Alt+Right steps to the next entry; the same at twice the scale. Leaves screenshots
# in the build folder.
set -euo pipefail
program=$1
out=$2
fail() { echo "e2e entries: $*" >&2; exit 1; }
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

use_private_copy

year=$(date +%Y)
month=$(date +%-m)
today=$(date +%-d)
# Two entries this month, away from today, and the day another program will write.
pick() { for d in "$@"; do [ "$d" != "$today" ] && { echo "$d"; return; }; done; }
first=$(pick 3 4)
second=$(pick 9 10)
outside=$(pick 20 21)
printf '\x93\xfa\x8b\x4c\r\n' >"$diary/$year$month$first.dat"
: >"$diary/$year$month$second.dat"

start_x
start_program
win=$(find_window "Mekuri v.1.16")
[ -n "$win" ] || fail "the main window did not appear"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y, WIDTH, HEIGHT
# Pixels of the marks' colour in the two calendars.
marks() {
  import -window root -crop "$((WIDTH))x260+$X+$((Y + 60))" -depth 8 rgb:- 2>/dev/null | od -An -v -tx1 -w3 |
    grep -c 'e0 60 00' || true
}
wait_for() {
  for _ in $(seq 100); do "$@" && return 0; sleep 0.05; done
  return 1
}
more_than() { [ "$(marks)" -gt "$1" ]; }

wait_for more_than 0 || fail "the entries in the folder carry no mark"
before=$(marks)
import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" "$out/e2e_entries_marks.png"

# Another program writes a day file while Mekuri runs.
start=$(date +%s%N)
printf 'from outside\r\n' >"$diary/$year$month$outside.dat"
wait_for more_than "$before" || fail "the file written from outside got no mark"
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
echo "e2e entries: the new file was marked after $elapsed ms"
[ "$elapsed" -le 2000 ] || fail "the mark took $elapsed ms"
import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" "$out/e2e_entries_outside.png"

# Alt+Right from the editor: the next entry after today becomes the selected day, which
# shows its mark inverted, so the orange pixels change.
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 60)) click 1
sleep 0.3
now=$(marks)
xdotool key alt+Right
changed() { [ "$(marks)" != "$now" ]; }
if [ "$today" -lt "$outside" ]; then
  wait_for changed || fail "Alt+Right did not move to the next entry"
fi
import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" "$out/e2e_entries_next.png"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true

# Twice the scale: the marks are still there.
(cd "$diary" && LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 QT_SCALE_FACTOR=2 exec "$program") &
app_pid=$!
sleep 1
win=$(find_window "Mekuri v.1.16")
[ -n "$win" ] || fail "the main window did not appear at twice the scale"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
wait_for more_than 0 || fail "no marks at twice the scale"
import -window root "$out/e2e_entries_2x.png"
echo "e2e entries: passed"
