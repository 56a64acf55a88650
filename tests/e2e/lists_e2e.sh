#!/usr/bin/env bash
# Registers a holiday with the keyboard from the week calendar, deletes a line in the
# holiday dialog, exports the list and compares "Holday.txt" byte for byte. Leaves
# screenshots in the build folder.
set -euo pipefail
program=$1
out=$2
fail() { echo "e2e lists: $*" >&2; exit 1; }
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

# The settings file lives beside the program: a private copy starts from the shipped lists
# and leaves the build's own settings alone.
use_private_copy

start_x
start_program
win=$(find_window "Mekuri v.1.16")
[ -n "$win" ] || fail "the main window did not appear"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y, WIDTH, HEIGHT
click_at() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
key() { xdotool key "$@"; sleep 0.4; }
week() { import -window root -crop "600x110+$((X + 2))+$((Y + 189))" -depth 8 rgb:- | md5sum; }
# The band above the status bar where the entry lines open.
entry() { import -window root -crop "600x20+$((X + 2))+$((Y + HEIGHT - 45))" -depth 8 rgb:- | md5sum; }
# Waits up to ten seconds for a command to succeed: the machine may be busy.
wait_for() {
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}
differs() { [ "$("$1")" != "$2" ]; }

# Focus the week calendar, then bring both calendars back to today with 今日 (it never
# takes the focus), so the new line names today.
click_at $((X + 300)) $((Y + 197))
click_at $((X + 376 + 16)) $((Y + 57))
month=$(date +%-m)
day=$(date +%-d)
week_before=$(week)

entry_before=$(entry)

# 登録/削除(&T) → 休日の登録(&H), type the name, Enter.
key alt+t
key h
wait_for differs entry "$entry_before" || fail "the holiday entry line did not open"
# A name in ASCII: xdotool types a kanji by remapping a spare key code, and on a busy machine
# a character typed right after the remapping gets lost. The shipped lines keep the check
# on Japanese bytes.
xdotool type --delay 50 "Kinenbi"
sleep 0.3
key Return
wait_for differs week "$week_before" || fail "the week list does not show the new holiday"
import -window root "$out/e2e_lists_registered.png"

# 休日の削除 (Ctrl+H): the first line is selected; 削除(&D), then 閉じる(&X).
key ctrl+h
dialog=$(find_window "休日の編集")
[ -n "$dialog" ] || fail "the holiday dialog did not open"
import -window root "$out/e2e_lists_dialog.png"
key alt+d
key alt+x
closed() { [ -z "$(xdotool search --onlyvisible --name "休日の編集" 2>/dev/null || true)" ]; }
wait_for closed || fail "the dialog did not close"
# Without a window manager nobody hands the keyboard back to the main window.
xdotool windowfocus "$win"
sleep 0.3

# ファイル(&F) → 休日の出力(&H)
key alt+f
key h
wait_for test -f "$diary/Holday.txt" || fail "Holday.txt was not written"

# The shipped lines and the new one, in the dialog's order (Shift-JIS bytes), without the
# first one; CR LF after each line and one more at the end.
expected="$diary/expected.txt"
{
  printf '%s\n' 1949,2,1,1,元日 1949-1999,0,1,15,成人の日 2000,2,1,2,2,成人の日 1967,2,2,11,建国記念の日 \
    1949-1988,0,4,29,天皇誕生日 1989-2018,0,12,23,天皇誕生日 2020,2,2,23,天皇誕生日 1989-2006,0,4,29,みどりの日 \
    2007,2,5,4,みどりの日 2007,2,4,29,昭和の日 1949,2,5,3,憲法記念日 1949,2,5,5,こどもの日 1996-2002,0,7,20,海の日 \
    2003-2019,0,7,3,2,海の日 2020,0,7,23,海の日 2021,0,7,22,海の日 2022,2,7,3,2,海の日 2016-2019,0,8,11,山の日 \
    2020,0,8,10,山の日 2021,0,8,8,山の日 2022,2,8,11,山の日 1966-2002,0,9,15,敬老の日 2003,2,9,3,2,敬老の日 \
    1966-1999,0,10,10,体育の日 2000-2019,0,10,2,2,体育の日 2020,0,7,24,スポーツの日 2021,0,7,23,スポーツの日 \
    2022,2,10,2,2,スポーツの日 1948,2,11,3,文化の日 1948,2,11,23,勤労感謝の日 1959,0,4,10,皇太子明仁親王の結婚の儀 \
    1989,0,2,24,昭和天皇の大喪の礼 1990,0,11,12,即位礼正殿の儀 1993,0,6,9,皇太子徳仁親王の結婚の儀 2019,0,5,1,天皇の即位の日 \
    2019,0,10,22,即位礼正殿の儀 \
    "$month,$day,Kinenbi"
} | iconv -f UTF-8 -t CP932 | LC_ALL=C sort | tail -n +2 | sed 's/$/\r/' >"$expected"
printf '\r\n' >>"$expected"
cmp "$diary/Holday.txt" "$expected" || {
  od -c "$diary/Holday.txt" | head -20 >&2
  fail "Holday.txt differs from the expected bytes"
}

# ファイル(&F) → 閉じる(&C)
key alt+f
key c
ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_for ended || fail "the program did not close"
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "e2e lists: ok (screenshots in $out)"
