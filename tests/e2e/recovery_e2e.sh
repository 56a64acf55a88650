#!/usr/bin/env bash
# Unsaved text survives the program's death, in the real program under a private X server
# with a real input method (fcitx5 + mozc):
#  1. Japanese typed through the input method, kill -9, start again, はい, save: the day
#     file holds the typed text byte for byte.
#  2. Text typed and SIGTERM before its copy was due: kept all the same; 後で keeps it.
#  3. いいえ, then the second question's はい: the copy is gone for good.
#  4. The day file changed between the kill and the restart: the question says so, and the
#     save asks before it replaces the file.
#  5. A read-only diary folder: the copy goes to the state folder and comes back from it.
#  6. A damaged copy: one message, the copy renamed aside, nothing offered.
#
# Usage: recovery_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=recovery_e2e
# Several starts of the program, each up to a few seconds on a busy machine.
E2E_LIFETIME=400
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
program=$1
e2e_need xclip pgrep find
# shellcheck source=e2e_input_method.sh
source "$(dirname "$0")/e2e_input_method.sh"
e2e_start_input_method
D="$E2E_DIR/diary"
STATE="$HOME/.local/state/Mekuri"

copies_in() { find "$1" -maxdepth 1 -name '.Mekuri-*.recovery' 2>/dev/null | wc -l; }
copies() { copies_in "$D"; }
has_copy() { [ "$(copies)" -ge 1 ]; }
no_copy() { [ "$(copies)" -eq 0 ]; }
day_files() { find "$D" -maxdepth 1 -name '*.dat' | sort; }

start() {
  e2e_start_program "$program" "${AS_USER[@]}"
}
# The program itself, not the `timeout` that started it.
program_pid() { pgrep -P "$APP_PID" | head -n1; }
kill_program() {
  local sig=$1 pid
  pid=$(program_pid)
  [ -n "$pid" ] || e2e_fail "the program is not running"
  kill "-$sig" "$pid"
  wait "$APP_PID" 2>/dev/null
  e2e_log "program killed with SIG$sig"
}

# A question or message box is up: a second visible window of the program.
box_up() { [ "$(xdotool search --onlyvisible --class mekuri 2>/dev/null | wc -l)" -ge 2 ]; }
box_gone() { ! box_up; }
box_id() { xdotool search --onlyvisible --class mekuri 2>/dev/null | grep -vx "$WIN" | tail -n1; }
# answer SHOT KEY: waits for the box, takes its picture, presses KEY, and waits for that
# box to go (another may follow).
answer() {
  local id
  e2e_wait_until 20 box_up || e2e_fail "no question box for $1"
  sleep 0.5
  id=$(box_id)
  e2e_shot "e2e_recovery_$1"
  # Without a window manager a new box does not always get the keyboard by itself.
  timeout 5 xdotool windowfocus --sync "$id" 2>/dev/null
  e2e_key "$2"
  box_changed() { [ "$(box_id)" != "$id" ]; }
  e2e_wait_until 10 box_changed || e2e_fail "the box for $1 stayed after $2"
}
focus_main() { timeout 5 xdotool windowfocus --sync "$WIN" || e2e_fail "cannot focus the main window"; }
# The tool bar's 保存 button.
save() { xdotool mousemove $((X + 27)) $((Y + 33)) click 1; sleep 0.5; }
type_plain() { timeout 20 xdotool type --delay 60 "$1" || e2e_fail "xdotool type failed"; }

# --- 1. input method, kill -9, はい, save -----------------------------------------------
start
e2e_click_editor
has_ic() { remote | grep -qx '[12]'; }
e2e_wait_until 10 has_ic || e2e_fail "fcitx5 sees no focused input context"
e2e_key ctrl+space
is_on() { [ "$(remote)" = 2 ]; }
e2e_wait_until 10 is_on || e2e_fail "Ctrl+Space did not switch the input method on"
timeout 30 xdotool type --delay 120 nihongo || e2e_fail "xdotool type failed"
sleep 1
e2e_key space
sleep 1
e2e_key Return
e2e_key ctrl+space
is_off() { [ "$(remote)" = 1 ]; }
e2e_wait_until 10 is_off || e2e_fail "Ctrl+Space did not switch the input method off"
type_plain " abc"
e2e_wait_until 10 has_copy || e2e_fail "no recovery copy 10 s after typing"
sleep 2.5  # the copy of the last keys
e2e_shot e2e_recovery_typed
kill_program KILL
[ "$(copies)" = 1 ] || e2e_fail "$(copies) recovery copies after the kill, expected 1"
[ -z "$(day_files)" ] || e2e_fail "a day file was written without a save: $(day_files)"

start
answer question alt+y
save
expect_hex=93fa967b8cea20616263  # 日本語 abc in CP932
saved_ok() { [ -n "$(day_files)" ] && [ "$(e2e_hex <"$(day_files | head -n1)")" = "$expect_hex" ]; }
e2e_wait_until 10 saved_ok || e2e_fail "after はい and 保存 the day file holds $(e2e_hex <"$(day_files | head -n1)" 2>/dev/null), expected $expect_hex"
e2e_wait_until 10 no_copy || e2e_fail "the recovery copy stayed after the save"
TODAY_FILE=$(day_files | head -n1)
e2e_log "ok: はい and 保存 wrote the typed text ($expect_hex)"
kill_program TERM

# --- 2. SIGTERM before the copy was due; 後で --------------------------------------------
start
e2e_click_editor
type_plain "term"
kill_program TERM
[ "$(copies)" = 1 ] || e2e_fail "SIGTERM left $(copies) recovery copies, expected 1"
grep -q 'term$' "$D"/.Mekuri-*.recovery || e2e_fail "the copy written at SIGTERM does not end in the typed text"
start
answer later alt+l
[ "$(copies)" = 1 ] || e2e_fail "後で did not keep the copy"
e2e_log "ok: SIGTERM kept the text, 後で kept the copy"
kill_program TERM
[ "$(copies)" = 1 ] || e2e_fail "ending an unchanged window touched the kept copy"

# --- 3. いいえ and its second question -------------------------------------------------
start
answer no alt+n
answer no_confirm alt+y
e2e_wait_until 5 no_copy || e2e_fail "いいえ and はい left the copy"
e2e_log "ok: いいえ removed the copy after the second question"
kill_program TERM
start
sleep 1
box_up && e2e_fail "a question came after the copy was removed"
kill_program TERM

# --- 4. the day file changed between the kill and the restart ---------------------------
start
# To another day and back: today's file is loaded (and locked), then unlocked and edited.
next_day() { xdotool mousemove $((X + 263)) $((Y + 57)) click "$1"; sleep 0.7; }
next_day 1
next_day 3
xdotool mousemove $((X + 300)) $((Y + HEIGHT - 60)) click 3
sleep 0.4
e2e_key e
e2e_click_editor
e2e_key ctrl+End
type_plain " more"
e2e_wait_until 10 has_copy || e2e_fail "no recovery copy of the edited day"
sleep 2.5
kill_program KILL
printf 'changed elsewhere\r\n' >"$TODAY_FILE"
start
# The question's wording is checked by the window's tests; its picture is kept here.
answer changed_question alt+y
save
answer overwrite_no alt+n
[ "$(e2e_hex <"$TODAY_FILE")" = "$(printf 'changed elsewhere\r\n' | e2e_hex)" ] ||
  e2e_fail "the changed day file was replaced without a yes"
save
answer overwrite_yes alt+y
want=$(printf '\x93\xfa\x96\x7b\x8c\xea abc more' | e2e_hex)
e2e_wait_until 5 eval '[ "$(e2e_hex <"$TODAY_FILE")" = "$want" ]' ||
  e2e_fail "after the yes the day file holds $(e2e_hex <"$TODAY_FILE"), expected $want"
e2e_log "ok: a changed day file was named and replaced only after a yes"
kill_program TERM

# --- 5. read-only diary folder ----------------------------------------------------------
chmod 555 "$D"
start
e2e_click_editor
type_plain "readonly"
state_copy() { [ "$(copies_in "$STATE")" -ge 1 ]; }
e2e_wait_until 10 state_copy || e2e_fail "no recovery copy in the state folder $STATE"
[ "$(copies)" = 0 ] || e2e_fail "a copy in the read-only folder"
sleep 1
kill_program KILL
start
answer readonly_question alt+y
# The editor's text is now this run's to keep: its own copy replaces the old one.
recovered() { [ "$(copies_in "$STATE")" = 1 ] && grep -q 'readonly$' "$STATE"/.Mekuri-*.recovery; }
e2e_wait_until 5 recovered || e2e_fail "the state folder holds $(copies_in "$STATE") copies, not one of the recovered text"
e2e_shot e2e_recovery_readonly_restored
kill_program KILL
chmod 755 "$D"
rm -f "$STATE"/.Mekuri-*.recovery
e2e_log "ok: read-only folder, copy kept in $STATE"

# --- 6. a damaged copy ------------------------------------------------------------------
printf 'Mekuri recovery 1\nday 2026-12-07\nwrit' >"$D/.Mekuri-2026127-broken.recovery"
start
answer damaged Return
[ -e "$D/.Mekuri-2026127-broken.damaged" ] || e2e_fail "the damaged copy was not renamed aside"
[ "$(copies)" = 0 ] || e2e_fail "the damaged copy is still offered"
e2e_log "ok: damaged copy reported and set aside"
kill_program TERM

echo "e2e: recovery ok (screenshots in $E2E_OUT)"
