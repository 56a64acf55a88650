#!/usr/bin/env bash
# A logout or a closed terminal ends the real program by SIGTERM or SIGHUP, not through its
# close: "Mekuri.ini" is written all the same, whole, with what the user changed (here the
# entry marks turned off, then on again), and the next start reads it.
#
# Usage: quit_settings_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=quit_settings_e2e
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
e2e_need Xvfb xdotool pgrep
INI="$E2E_DIR/bin/Mekuri.ini"

# The program itself, not the `timeout` that started it.
end_by() {
  local pid
  pid=$(pgrep -P "$APP_PID" | head -n1)
  [ -n "$pid" ] || e2e_fail "the program is not running"
  kill "-$1" "$pid"
  wait "$APP_PID" 2>/dev/null
  e2e_log "program ended by SIG$1"
}
# 表示 → 日記のある日に印, which switches the marks.
toggle_marks() {
  e2e_key alt+v
  e2e_key e
}
marks_setting() { sed -n 's/^EntryMarks=\([0-9]*\).*/\1/p' "$INI" 2>/dev/null; }

e2e_start_xvfb
e2e_start_program "$1"
[ ! -e "$INI" ] || e2e_fail "a settings file before any end"
toggle_marks
end_by TERM
[ "$(marks_setting)" = 0 ] || e2e_fail "after SIGTERM the settings say EntryMarks='$(marks_setting)', expected 0"
grep -q '^\[Form\]' "$INI" || e2e_fail "the settings written at SIGTERM lack the window's place"
e2e_log "ok: SIGTERM wrote the settings"

e2e_start_program "$1"
toggle_marks  # back on: the start read them as off
end_by HUP
[ "$(marks_setting)" = 1 ] || e2e_fail "after SIGHUP the settings say EntryMarks='$(marks_setting)', expected 1"
leftovers=$(find "$E2E_DIR/bin" -name 'Mekuri.ini?*' | wc -l)
[ "$leftovers" = 0 ] || e2e_fail "half-written settings files left beside Mekuri.ini"
e2e_log "ok: SIGHUP wrote the settings"
