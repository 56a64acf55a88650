#!/usr/bin/env bash
# Japanese typed through a real input method into the real program: fcitx5 with mozc,
# reached through Qt's fcitx5 input-context plug-in, under a private X server and a
# private session bus. The keys go from xdotool to the X server, to Qt, to fcitx5 and
# mozc over D-Bus, and come back to Editor1 as input-method events. It types "nihongo",
# converts with Space, commits with Enter, saves the day and checks that the day file
# holds 日本語 as CP932 bytes. Then a composition meets a click in the editor and a day
# change, and must stay where and on the day it was typed. Last, from another day, the same
# word typed into the diary search window leads back to its day.
# Any step that cannot be done (a missing package, an input method that does not start)
# fails the test with its reason.
#
# Usage: ime_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=ime_e2e
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
ROMAJI=nihongo
EXPECT_HEX=93fa967b8cea  # 日本語 in CP932

# shellcheck source=e2e_input_method.sh
source "$(dirname "$0")/e2e_input_method.sh"
e2e_start_input_method

export QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx QT_DEBUG_PLUGINS=1
e2e_start_program "$1" "${AS_USER[@]}"
unset QT_DEBUG_PLUGINS
grep -q 'libfcitx5platforminputcontextplugin.so" loaded library' "$E2E_DIR/mekuri.err" ||
  e2e_fail "Qt did not load the fcitx5 input-context plug-in (see $E2E_DIR/mekuri.err)"

e2e_click_editor
has_ic() { remote | grep -qx '[12]'; }
e2e_wait_until 10 has_ic || e2e_fail "fcitx5 sees no focused input context: Editor1 does not take input-method input"
[ "$(remote)" = 1 ] || e2e_fail "the input method is on before the toggle (state $(remote))"

e2e_key ctrl+space
is_on() { [ "$(remote)" = 2 ]; }
e2e_wait_until 10 is_on || e2e_fail "Ctrl+Space did not switch the input method on (state $(remote), im $(remote -n))"
[ "$(remote -n)" = mozc ] || e2e_fail "the active input method is '$(remote -n)', not mozc"
e2e_log "input method on: mozc"

timeout 30 xdotool type --delay 120 "$ROMAJI" || e2e_fail "xdotool type failed"
sleep 1.5
e2e_shot e2e_ime_preedit
e2e_key space
sleep 1.5
e2e_shot e2e_ime_converted
e2e_key Return
sleep 1
e2e_key ctrl+space
is_off() { [ "$(remote)" = 1 ]; }
e2e_wait_until 10 is_off || e2e_fail "Ctrl+Space did not switch the input method off"
e2e_shot e2e_ime_result

# The program's own 保存 writes the editor's text, as the CP932 bytes it holds, to the
# day file.
got_hex=""
read_back() {
  got_hex=$(e2e_saved_day_file)
  [ "$got_hex" = "$EXPECT_HEX" ]
}
e2e_wait_until 10 read_back || e2e_fail "the saved day file holds '$got_hex', expected $EXPECT_HEX (日本語 in CP932)"
e2e_log "ok: Editor1 holds 日本語 ($got_hex)"

# A composition is committed where it was typed before anything moves it: a click
# elsewhere in the editor, and a day change. Typing goes on at the click afterwards, and
# nothing of it reaches the next day's text.
today=$(e2e_day_file today)
tomorrow=$(e2e_day_file tomorrow)
ime_on() {
  e2e_key ctrl+space
  e2e_wait_until 10 is_on || e2e_fail "Ctrl+Space did not switch the input method on"
}
ime_off() {
  [ "$(remote)" = 1 ] && return
  e2e_key ctrl+space
  e2e_wait_until 10 is_off || e2e_fail "Ctrl+Space did not switch the input method off"
}
NIKKI_HEX=82c982c182ab  # にっき
KYOU_HEX=82ab82e382a4   # きょう
ime_on
timeout 30 xdotool type --delay 120 nikki || e2e_fail "xdotool type failed"
sleep 1
e2e_shot e2e_ime_before_click
xdotool mousemove $((X + 300)) $((Y + HEIGHT - 60)) click 1
sleep 0.5
ime_off
timeout 10 xdotool type --delay 60 X || e2e_fail "xdotool type failed"
e2e_key ctrl+s
e2e_shot e2e_ime_after_click
saved=$(e2e_hex <"$today")
case "$saved" in
  "$EXPECT_HEX$NIKKI_HEX"*58) ;;
  *) e2e_fail "after a click during the composition the day file holds $saved; expected 日本語にっき, then X at the click" ;;
esac
[ "${saved//$NIKKI_HEX/}" = "${saved/$NIKKI_HEX/}" ] || e2e_fail "the composition went in twice: $saved"
e2e_log "ok: the composition stayed where it was typed, X went to the click"

ime_on
timeout 30 xdotool type --delay 120 kyou || e2e_fail "xdotool type failed"
sleep 1
e2e_next_day
e2e_wait_question "a day change during a composition"
e2e_key Escape
e2e_question_gone "Escape"
e2e_next_day
e2e_wait_question "the second day change"
e2e_key alt+n
e2e_question_gone "いいえ"
ime_off
timeout 10 xdotool type --delay 60 Z || e2e_fail "xdotool type failed"
e2e_key ctrl+s
e2e_shot e2e_ime_next_day
[ -f "$tomorrow" ] || e2e_fail "Ctrl+S on the next day wrote no file"
next=$(e2e_hex <"$tomorrow")
[ "$next" = 5a ] || e2e_fail "the next day's file holds $next, expected only Z (5a): the composition followed the day"
[ "$(e2e_hex <"$today")" = "$saved" ] || e2e_fail "いいえ changed the first day's file"
e2e_log "ok: the composition stayed with its day; the next day holds only Z"

# The saved word is found by the diary search, its words typed through the same input
# method, from another day; Enter on the row goes back to the day with 日本語 selected.
e2e_next_day
e2e_key ctrl+shift+f
search_win=""
find_search() { search_win=$(xdotool search --onlyvisible --name "日記全体から検索" 2>/dev/null | head -n1); [ -n "$search_win" ]; }
e2e_wait_until 20 find_search || e2e_fail "the diary search window did not open"
timeout 5 xdotool windowfocus --sync "$search_win" || e2e_fail "cannot focus the search window"
sleep 0.5
e2e_key ctrl+space
e2e_wait_until 10 is_on || e2e_fail "Ctrl+Space did not switch the input method on in the search window"
timeout 30 xdotool type --delay 120 "$ROMAJI" || e2e_fail "xdotool type failed"
sleep 1.5
e2e_key space
sleep 1.5
e2e_key Return
sleep 1
e2e_key ctrl+space
e2e_wait_until 10 is_off || e2e_fail "Ctrl+Space did not switch the input method off in the search window"
e2e_key Return
sleep 2
e2e_shot e2e_ime_diary_search
e2e_key Down
e2e_key Return
sleep 1
timeout 5 xdotool windowfocus --sync "$WIN" || e2e_fail "cannot focus the main window"
e2e_key ctrl+c
found=$(e2e_clipboard)
[ "$found" = "日本語" ] || e2e_fail "after the diary search the selection is '$found', expected 日本語"
e2e_shot e2e_ime_found
e2e_log "ok: the diary search found 日本語 typed through the input method and selected it on its day"
echo "e2e: input method ok (screenshots in $E2E_OUT)"
