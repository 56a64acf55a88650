#!/usr/bin/env bash
# A day's diary in the real program under a private X server, driven with xdotool as a
# person would: a line typed and saved through the menu, another day and back (the text
# shows, locked), unlocked and edited, the question on leaving the day answered いいえ and
# then はい, the day file deleted, and the window closed answering the close question.
# The day files on disk are checked byte for byte after every step.
#
# Usage: diary_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=diary_e2e
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
e2e_need Xvfb xdotool import od timeout date
unset QT_IM_MODULE XMODIFIERS GTK_IM_MODULE

# The day file of a date (`date -d` form) under the program's naming rule.
day_file() {
  local y m d
  read -r y m d <<<"$(date -d "$1" '+%Y %-m %-d')"
  if [ "$m" = 1 ] && [ "$d" -gt 10 ] && [ $((d % 10)) -ne 0 ]; then
    printf '%s/diary/%d-01-%02d.dat' "$E2E_DIR" "$y" "$d"
  else
    printf '%s/diary/%d%d%d.dat' "$E2E_DIR" "$y" "$m" "$d"
  fi
}
today=$(day_file today)
tomorrow=$(day_file tomorrow)

# expect_file WHAT FILE BYTES: FILE holds exactly BYTES (printf escapes allowed).
expect_file() {
  [ -f "$2" ] || e2e_fail "$1: $(basename "$2") does not exist"
  local want got
  want=$(printf "$3" | e2e_hex)
  got=$(e2e_hex <"$2")
  [ "$got" = "$want" ] || e2e_fail "$1: $(basename "$2") holds $got, expected $want"
  e2e_log "ok: $1"
}
expect_no_file() {
  [ ! -e "$2" ] || e2e_fail "$1: $(basename "$2") exists"
  e2e_log "ok: $1"
}

e2e_start_xvfb
e2e_start_program "$1"

# 日毎 in the date panel: a left click steps forward, a right press back.
next_day() { xdotool mousemove $((X + 248 + 15)) $((Y + 57)) click 1; sleep 0.5; }
prev_day() { xdotool mousemove $((X + 248 + 15)) $((Y + 57)) click 3; sleep 0.5; }
save() { e2e_key alt+t; e2e_key s; }
delete_file() { e2e_key alt+t; e2e_key d; }
# The editor's pop-up: Editor の内容を編集可能にする(&E).
unlock() {
  xdotool mousemove $((X + 300)) $((Y + HEIGHT - 60)) click 3
  sleep 0.4
  e2e_key e
}
type_text() { timeout 20 xdotool type --delay 40 "$1" || e2e_fail "xdotool type failed"; sleep 0.3; }
# The confirmation boxes take Alt with the underlined letter of はい(&Y) / いいえ(&N).
answer() { sleep 0.5; e2e_key "alt+$1"; }

e2e_click_editor
type_text "diary text"
save
expect_file "typed line saved through the menu" "$today" 'diary text'
e2e_shot e2e_diary_saved

next_day
expect_no_file "the next day has no file" "$tomorrow"
prev_day
e2e_shot e2e_diary_back
# Back on the day its text shows locked: typing changes nothing, so saving writes the
# same bytes again.
e2e_click_editor
type_text "X"
save
expect_file "text shown again, locked against typing" "$today" 'diary text'

unlock
e2e_click_editor
type_text "new "
e2e_shot e2e_diary_unlocked
next_day
answer n
expect_file "いいえ on leaving the day keeps the file as it was" "$today" 'diary text'
expect_no_file "nothing saved for the next day" "$tomorrow"

prev_day
unlock
e2e_click_editor
type_text "kept "
next_day
answer y
expect_file "はい on leaving the day saves the text to its own day" "$today" 'kept diary text'
expect_no_file "nothing saved for the next day" "$tomorrow"

prev_day
delete_file
answer y
expect_no_file "削除 answered はい deletes the day file" "$today"
e2e_shot e2e_diary_deleted

# The editor still shows the deleted day's text: closing asks, and はい saves it again.
e2e_key alt+f
e2e_key c
answer y
e2e_wait_until 20 bash -c "! kill -0 $APP_PID 2>/dev/null" || e2e_fail "the program did not close"
wait "$APP_PID"
status=$?
[ "$status" -eq 0 ] || e2e_fail "exit status $status"
expect_file "the close question saved the text" "$today" 'kept diary text'
e2e_log "diary end to end ok (screenshots in $E2E_OUT)"
