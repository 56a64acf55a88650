#!/usr/bin/env bash
# Finding in the day in the real program under a private X server: Ctrl+F opens the find
# bar, Enter, F3 and Shift+F3 select the matches of a word written in three forms
# (Kyoto, ＫＹＯＴＯ, kyoto) in turn, going round the end; Escape gives the focus back to
# the editor, whose selection is read through the program's own copy. Then the diary
# search window (Ctrl+Shift+F) lists the days holding the word and Enter on a row goes to
# that day with the word selected. Screenshots of the bar and the window go to the build
# folder.
#
# Usage: search_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=search_e2e
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
e2e_need Xvfb xdotool import xclip od timeout iconv
unset QT_IM_MODULE XMODIFIERS GTK_IM_MODULE

put_day() { printf '%s' "$2" | iconv -f UTF-8 -t CP932 >"$(e2e_day_file "$1")" || e2e_fail "cannot write $1"; }
put_day today $'朝は晴れ。\r\nKyoto へ行く\r\n\tＫＹＯＴＯ駅で昼\r\n夜 kyoto の宿\r\n'
put_day '3 days ago' $'Kyoto の本を買った\r\n'
put_day '40 days ago' $'何もない日\r\n'

e2e_start_xvfb
e2e_start_program "$1"
# The window starts with an empty editor; the day's file shows once the day is chosen
# again (日毎 forward with a left click, back with a right one).
e2e_next_day
xdotool mousemove $((X + 248 + 15)) $((Y + 57)) click 3
sleep 0.5
e2e_click_editor

# selected WHAT TEXT: with the focus in the editor, its selection is TEXT.
selected() {
  e2e_key ctrl+c
  local got
  got=$(e2e_clipboard)
  [ "$got" = "$2" ] || e2e_fail "$1: the selection is '$got', expected '$2'"
  e2e_log "ok: $1: '$got'"
}

e2e_key ctrl+f
timeout 10 xdotool type --delay 60 kyoto || e2e_fail "xdotool type failed"
e2e_key Return
e2e_shot e2e_find_bar
e2e_key Escape
selected "Enter in the find bar" "Kyoto"
e2e_key F3
selected "F3" "ＫＹＯＴＯ"
e2e_key F3
selected "F3 again" "kyoto"
e2e_key F3
selected "F3 past the last match goes round to the first" "Kyoto"
e2e_key shift+F3
selected "Shift+F3 goes back round the start" "kyoto"
e2e_key shift+F3
selected "Shift+F3" "ＫＹＯＴＯ"
# Finding never edits: the day file is as it was.
want=$(printf '%s' $'朝は晴れ。\r\nKyoto へ行く\r\n\tＫＹＯＴＯ駅で昼\r\n夜 kyoto の宿\r\n' | iconv -f UTF-8 -t CP932 | e2e_hex)
[ "$(e2e_hex <"$(e2e_day_file today)")" = "$want" ] || e2e_fail "the day file changed"

# The diary search: the newest day first, Enter goes to the selected row's day.
e2e_key ctrl+shift+f
search_win=""
find_search() { search_win=$(xdotool search --onlyvisible --name "日記全体から検索" 2>/dev/null | head -n1); [ -n "$search_win" ]; }
e2e_wait_until 20 find_search || e2e_fail "the diary search window did not open"
timeout 5 xdotool windowfocus --sync "$search_win" || e2e_fail "cannot focus the search window"
timeout 10 xdotool type --delay 60 kyoto || e2e_fail "xdotool type failed"
e2e_key Return
sleep 1.5
e2e_shot e2e_diary_search
# Down from the words into the list (its first row, today), Down to the second row (3 days
# ago), Enter.
timeout 5 xdotool windowfocus --sync "$search_win"
e2e_key Down
e2e_key Down
e2e_key Return
sleep 1
e2e_shot e2e_diary_search_jump
timeout 5 xdotool windowfocus --sync "$WIN" || e2e_fail "cannot focus the main window"
selected "Enter on the day 3 days ago selects its first match" "Kyoto"
got=$(e2e_editor_text)
got=${got//$'\r'/}
[ "$got" = 'Kyoto の本を買った' ] || e2e_fail "the editor shows '$got', not the day 3 days ago"
e2e_log "ok: the editor shows the day 3 days ago"
echo "e2e: search ok (screenshots in $E2E_OUT)"
