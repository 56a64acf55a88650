#!/usr/bin/env bash
# Unsaved text through both save questions of the real program: Escape at the question
# before a day change and at the close question keeps the text where it was (the day
# stays, the window stays open, no file is written); Ctrl+S typed in the editor saves it;
# once saved, closing asks nothing. Started again on a day with an entry, the empty
# editor's text is saved after the entry by a plain Enter at the question (追記 first).
# The question boxes and the start-up status bar are photographed.
#
# Usage: question_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=question_e2e
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
e2e_need Xvfb xdotool xclip import od timeout date
unset QT_IM_MODULE XMODIFIERS GTK_IM_MODULE

e2e_start_xvfb
e2e_start_program "$1"
today=$(e2e_day_file today)
tomorrow=$(e2e_day_file tomorrow)

expect_text() {
  local got
  got=$(e2e_editor_text)
  [ "$got" = "$2" ] || e2e_fail "$1: the editor holds '$got', expected '$2'"
  e2e_log "ok: $1"
}
no_day_files() {
  local files=("$E2E_DIR"/diary/*.dat)
  [ ! -e "${files[0]}" ] || e2e_fail "$1: day files written: ${files[*]}"
}

e2e_click_editor
timeout 20 xdotool type --delay 40 "keep me" || e2e_fail "xdotool type failed"
sleep 0.3

e2e_next_day
e2e_wait_question "before the day change"
e2e_shot e2e_question_day_change
e2e_key Escape
e2e_question_gone "Escape before the day change"
no_day_files "Escape before the day change"
expect_text "Escape before the day change keeps the text" "keep me"

e2e_key alt+f
e2e_key c
e2e_wait_question "at close"
e2e_shot e2e_question_close
e2e_key Escape
e2e_question_gone "Escape at close"
e2e_alive "$APP_PID" || e2e_fail "the program ended after Escape at the close question"
xdotool search --onlyvisible --name "Mekuri v.1.16" >/dev/null || e2e_fail "the main window went after Escape at close"
no_day_files "Escape at close"
expect_text "Escape at close keeps the window and the text" "keep me"

# Ctrl+S in the editor saves to the day the text was written on: the day never moved.
e2e_click_editor
e2e_key ctrl+s
got=$(e2e_hex <"$today" 2>/dev/null)
[ "$got" = "$(printf 'keep me' | e2e_hex)" ] || e2e_fail "Ctrl+S in the editor: $(basename "$today") holds '$got'"
[ ! -e "$tomorrow" ] || e2e_fail "a file for the next day was written"
e2e_log "ok: Ctrl+S saved the text to its own day"

# Saved and unchanged since: the window closes without a question.
e2e_key alt+f
e2e_key c
e2e_wait_until 10 bash -c "! kill -0 $APP_PID 2>/dev/null" || e2e_fail "closing after the save asked or hung"
wait "$APP_PID"
status=$?
[ "$status" -eq 0 ] || e2e_fail "exit status $status"
e2e_log "ok: closed without a question once saved"
# Today has its entry now: the next start leaves the editor empty and says so; what is
# typed there goes after the entry at a plain Enter.
e2e_start_program "$1"
e2e_shot e2e_question_start_with_entry
e2e_click_editor
timeout 20 xdotool type --delay 40 "more" || e2e_fail "xdotool type failed"
e2e_key ctrl+s
e2e_wait_question "saving over the entry the start left out"
e2e_shot e2e_question_append
e2e_key Return
e2e_question_gone "after Enter at the append question"
got=$(e2e_hex <"$today" 2>/dev/null)
[ "$got" = "$(printf 'keep me\r\nmore' | e2e_hex)" ] || e2e_fail "Enter at the question: $(basename "$today") holds '$got'"
expect_text "the whole day shows after the append" "$(printf 'keep me\r\nmore')"
e2e_key alt+f
e2e_key c
e2e_wait_until 10 bash -c "! kill -0 $APP_PID 2>/dev/null" || e2e_fail "closing after the append asked or hung"
e2e_log "ok: Enter appended the typed text after the entry"
echo "e2e: questions ok (screenshots in $E2E_OUT)"
