#!/usr/bin/env bash
# A day's diary in the real program under a private X server, driven with xdotool as a
# person would: a line typed and saved through the menu, another day and back (the text
# shows, locked), unlocked and edited, the question on leaving the day answered いいえ and
# then はい, the day file deleted, and the window closed answering the close question
# after one more change.
# The day files on disk are checked byte for byte after every step.
#
# Usage: diary_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
program=$1
out=$2
work=$(mktemp -d /tmp/mekuri_diary_e2e.XXXXXX)
mkdir -p "$work/bin" "$work/diary"
app_pid=""
xvfb_pid=""
keep=0
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  if [ "$keep" = 1 ]; then echo "diary_e2e: scratch folder kept: $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT
log() { echo "diary_e2e: $*" >&2; }
fail() { log "FAIL: $*"; keep=1; exit 1; }
for c in Xvfb xdotool import od timeout date; do command -v "$c" >/dev/null || fail "missing command $c"; done
unset QT_IM_MODULE XMODIFIERS GTK_IM_MODULE

# The server picks a free display itself and tells it on a pipe, so parallel runs never clash.
mkfifo "$work/displayfd"
timeout -k 5 240 Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/displayfd" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 n <"$work/displayfd" || fail "Xvfb did not start"
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The program runs from a copy, so its settings file lands in the scratch folder; its day
# files go to the diary folder it is started in.
cp "$program" "$(dirname "$program")/libmekuri-window.so" "$work/bin/"
(cd "$work/diary" && LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb exec timeout -k 5 240 "$work/bin/mekuri") \
  >"$work/mekuri.out" 2>&1 &
app_pid=$!
win=""
for _ in $(seq 300); do
  win=$(xdotool search --onlyvisible --name "Mekuri v.1.16" 2>/dev/null | head -n1)
  [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] || fail "the main window did not appear"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y, WIDTH, HEIGHT
timeout 5 xdotool windowfocus --sync "$win" || fail "cannot focus the main window"

hex() { od -An -tx1 -v | tr -d ' \n'; }
key() { timeout 5 xdotool key --clearmodifiers "$@" || fail "xdotool key $* failed"; sleep 0.3; }
shot() { timeout 20 import -window root "$out/$1.png" || log "warning: screenshot $1 failed"; }
# A click into the editor (the window's lower part, above the status bar) and the caret
# to the start of the text.
click_editor() {
  xdotool mousemove $((X + 300)) $((Y + HEIGHT - 60)) click 1
  sleep 0.3
  key ctrl+Home
}

# The day file of a date (`date -d` form) under the program's naming rule.
day_file() {
  local y m d
  read -r y m d <<<"$(date -d "$1" '+%Y %-m %-d')"
  if [ "$m" = 1 ] && [ "$d" -gt 10 ] && [ $((d % 10)) -ne 0 ]; then
    printf '%s/diary/%d-01-%02d.dat' "$work" "$y" "$d"
  else
    printf '%s/diary/%d%d%d.dat' "$work" "$y" "$m" "$d"
  fi
}
today=$(day_file today)
tomorrow=$(day_file tomorrow)

# expect_file WHAT FILE BYTES: FILE holds exactly BYTES (printf escapes allowed).
expect_file() {
  [ -f "$2" ] || fail "$1: $(basename "$2") does not exist"
  local want got
  want=$(printf "$3" | hex)
  got=$(hex <"$2")
  [ "$got" = "$want" ] || fail "$1: $(basename "$2") holds $got, expected $want"
  log "ok: $1"
}
expect_no_file() {
  [ ! -e "$2" ] || fail "$1: $(basename "$2") exists"
  log "ok: $1"
}

# 日毎 in the date panel: a left click steps forward, a right press back.
next_day() { xdotool mousemove $((X + 248 + 15)) $((Y + 57)) click 1; sleep 0.5; }
prev_day() { xdotool mousemove $((X + 248 + 15)) $((Y + 57)) click 3; sleep 0.5; }
# Without a window manager the keyboard focus does not come back to the main window by
# itself when a question box closes; a menu opened by keys needs it.
menu_key() { timeout 5 xdotool windowfocus --sync "$win" || fail "cannot focus the main window"; key "$1"; }
save() { menu_key alt+t; key s; }
delete_file() { menu_key alt+t; key d; }
# The editor's pop-up: Editor の内容を編集可能にする(&E).
unlock() {
  xdotool mousemove $((X + 300)) $((Y + HEIGHT - 60)) click 3
  sleep 0.4
  key e
}
type_text() { timeout 20 xdotool type --delay 40 "$1" || fail "xdotool type failed"; sleep 0.3; }
# A question box is up: a second visible window of the program. It takes Alt with the
# underlined letter of はい(&Y) / いいえ(&N).
answer() {
  local i
  for i in $(seq 50); do
    [ "$(xdotool search --onlyvisible --class mekuri 2>/dev/null | wc -l)" -ge 2 ] && break
    sleep 0.1
  done
  [ "$i" -lt 50 ] || fail "no question box"
  shot "e2e_diary_question_$1"
  key "alt+$1"
}

click_editor
type_text "diary text"
save
expect_file "typed line saved through the menu" "$today" 'diary text'
shot e2e_diary_saved

next_day
expect_no_file "the next day has no file" "$tomorrow"
prev_day
shot e2e_diary_back
# Back on the day its text shows locked: typing changes nothing, so saving writes the
# same bytes again.
click_editor
type_text "X"
save
expect_file "text shown again, locked against typing" "$today" 'diary text'

unlock
click_editor
type_text "new "
shot e2e_diary_unlocked
next_day
answer n
expect_file "いいえ on leaving the day keeps the file as it was" "$today" 'diary text'
expect_no_file "nothing saved for the next day" "$tomorrow"

prev_day
unlock
click_editor
type_text "kept "
next_day
answer y
expect_file "はい on leaving the day saves the text to its own day" "$today" 'kept diary text'
expect_no_file "nothing saved for the next day" "$tomorrow"

prev_day
delete_file
answer y
expect_no_file "削除 answered はい deletes the day file" "$today"
shot e2e_diary_deleted

# The editor still shows the deleted day's text. Only looking at it asks nothing at
# close; changed, closing asks, and はい saves it again.
unlock
click_editor
type_text "again "
menu_key alt+f
key c
answer y
for _ in $(seq 200); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not close"
wait "$app_pid"
status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
expect_file "the close question saved the text" "$today" 'again kept diary text'
log "diary end to end ok (screenshots in $out)"
