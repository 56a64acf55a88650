#!/usr/bin/env bash
# The program as a screen reader meets it: a private session bus with the accessibility
# bus on it, Qt's bridge switched on, and one of two walks on pyatspi:
#   reader    (atspi_reader.py) drives the real program through AT-SPI alone: the editor's
#             text and caret, a typed line read back, the month grid's day descriptions, a
#             focus event on an arrow key, a tool bar button pressed by its name;
#   keyboard  (keyboard_walk.py) keys only, no mouse event: a day chosen, an entry written
#             and saved, found by the diary search, and its month written to a PDF.
#
# Usage: accessibility_e2e.sh PROGRAM OUT_DIR reader|keyboard
set -uo pipefail
E2E_NAME=accessibility_${3:-}_e2e
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 3 ] || { echo "usage: $0 PROGRAM OUT_DIR reader|keyboard" >&2; exit 1; }
walk=$3
here=$(cd "$(dirname "$0")" && pwd)

# Everything below runs again inside a session bus of its own: CI machines have none.
if [ -z "${E2E_IN_SESSION:-}" ]; then
  command -v dbus-run-session >/dev/null || { echo "dbus-run-session is missing (dbus package)" >&2; exit 1; }
  E2E_IN_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi

e2e_init "$2"
e2e_need Xvfb xdotool import iconv /usr/bin/python3
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || e2e_fail "$launcher is missing (at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || e2e_fail "pyatspi is missing (python3-pyatspi)"

e2e_start_xvfb
timeout -k 5 "$E2E_LIFETIME" "$launcher" --launch-immediately >"$E2E_DIR/atspi.log" 2>&1 &
E2E_PIDS+=("$!:at-spi-bus-launcher")
bus_up() { dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; }
e2e_wait_until 10 bus_up || e2e_fail "the accessibility bus did not start (see $E2E_DIR/atspi.log)"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
case "$walk" in
  reader)
    # New Year's Day of next year has an entry, so its cell says the holiday and the mark.
    next_year=$(($(date +%Y) + 1))
    day_file=$(e2e_day_file "$next_year-01-01")
    printf '元日の日記\r\n' | iconv -f UTF-8 -t CP932 >"$day_file" || e2e_fail "cannot write $day_file"
    e2e_start_program "$1"
    timeout 90 /usr/bin/python3 "$here/atspi_reader.py" "$day_file" ||
      { e2e_shot e2e_accessibility_reader_failed; e2e_fail "the screen reader's walk failed"; }
    ;;
  keyboard)
    # The export is proposed outside the diary, in the documents or the home folder: a home
    # of the run's own keeps it out of the user's.
    export HOME="$E2E_DIR/home" XDG_CONFIG_HOME="$E2E_DIR/home/.config"
    mkdir -p "$HOME"
    e2e_start_program "$1"
    timeout 120 /usr/bin/python3 "$here/keyboard_walk.py" "$E2E_DIR/diary" "$HOME" ||
      { e2e_shot e2e_accessibility_keyboard_failed; e2e_fail "the keyboard walk failed"; }
    ;;
  *) e2e_fail "no walk named $walk" ;;
esac
e2e_shot "e2e_accessibility_${walk}_end"
e2e_log "ok"
