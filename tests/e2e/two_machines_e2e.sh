#!/usr/bin/env bash
# One diary folder on two machines, played by two copies of the program with settings of
# their own and two host names: the desk saves the day and leaves unsaved text behind
# (killed); the sync tool brings the laptop's version of the same day as a conflict copy;
# the laptop's Mekuri offers the desk's unsaved text as the desk's (後で keeps it, as the
# desk's), and resolves the conflict keeping both versions. Checked byte for byte.
#
# Usage: two_machines_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=two_machines_e2e
E2E_LIFETIME=240
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
program=$1
e2e_need Xvfb xdotool import iconv od pgrep
unset QT_IM_MODULE XMODIFIERS GTK_IM_MODULE
export TZ=Asia/Tokyo
D="$E2E_DIR/diary"
day=$(e2e_day_file today)
stem=$(basename "${day%.dat}")
copies() { find "$D" -maxdepth 1 -name '.Mekuri-*.recovery' | wc -l; }
copy_host() { find "$D" -maxdepth 1 -name '.Mekuri-*.recovery' -exec grep -a -m1 '^host ' {} \; ; }

e2e_start_xvfb
# The desk: the day saved, then more typed and left unsaved when the machine goes down.
export MEKURI_HOST=desk
e2e_start_program "$program"
e2e_click_editor
timeout 5 xdotool type --delay 30 "desk saved"
e2e_key ctrl+s
[ "$(e2e_hex <"$day")" = "$(printf 'desk saved' | e2e_hex)" ] || e2e_fail "the desk's save: $(e2e_hex <"$day")"
e2e_key Return
timeout 5 xdotool type --delay 30 "desk unsaved"
has_copy() { [ "$(copies)" -ge 1 ]; }
e2e_wait_until 10 has_copy || e2e_fail "no recovery copy on the desk"
[ "$(copy_host)" = "host desk" ] || e2e_fail "the desk's copy names '$(copy_host)'"
kill -KILL "$(pgrep -P "$APP_PID" | head -n1)"
wait "$APP_PID" 2>/dev/null
e2e_log "desk killed with its unsaved text kept"
mv "$E2E_DIR/bin" "$E2E_DIR/bin-desk"
mkdir "$E2E_DIR/bin"

# The sync tool: the laptop had written the same day; its version comes as a copy.
name="$stem.sync-conflict-20261207-143012-LAPTOP1.dat"
printf 'laptop line' >"$D/.syncthing.tmp"
touch -d '2026-12-07 14:30:12' "$D/.syncthing.tmp"
mv "$D/.syncthing.tmp" "$D/$name"

# The laptop: the desk's text is offered as the desk's; 後で leaves it, still the desk's.
export MEKURI_HOST=laptop
e2e_start_program "$program"
e2e_wait_question "the desk's unsaved text"
e2e_shot other_machines_text
e2e_key alt+l
e2e_question_gone "the desk's unsaved text"
[ "$(copies)" = 1 ] && [ "$(copy_host)" = "host desk" ] || e2e_fail "the desk's copy after 後で: $(copies), $(copy_host)"

# The conflict, resolved here keeping both: 比べる at the bar's right end.
xdotool mousemove $((X + WIDTH - 48)) $((Y + 320)) click 1
e2e_wait_question "compare window"
e2e_shot two_machines_compare
e2e_key alt+b
e2e_question_gone "compare window"
sleep 0.5
expected=$({ printf 'desk saved\r\n'; printf '%s' "――――― 別の版（Syncthing、2026年12月7日 14:30） ―――――" | iconv -f UTF-8 -t CP932; printf '\r\nlaptop line'; } | e2e_hex)
[ "$(e2e_hex <"$day")" = "$expected" ] || e2e_fail "kept both: $(e2e_hex <"$day"), expected $expected"
[ "$(e2e_hex <"$D/.Mekuri-conflicts/$name")" = "$(printf 'laptop line' | e2e_hex)" ] || e2e_fail "the copy was not set aside whole"
[ "$(copies)" = 1 ] && [ "$(copy_host)" = "host desk" ] || e2e_fail "the desk's copy after the save: $(copies), $(copy_host)"
e2e_log "PASS"
