#!/usr/bin/env bash
# Japanese typed through a real input method into the real program: fcitx5 with mozc,
# reached through Qt's fcitx5 input-context plug-in, under a private X server and a
# private session bus. The keys go from xdotool to the X server, to Qt, to fcitx5 and
# mozc over D-Bus, and come back to Editor1 as input-method events. It types "nihongo",
# converts with Space, commits with Enter, saves the day and checks that the day file
# holds 日本語 as CP932 bytes.
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
echo "e2e: input method ok (screenshots in $E2E_OUT)"
