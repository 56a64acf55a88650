#!/usr/bin/env bash
# Conflict copies in the real program under a private X server, the script playing the
# file-sync tool: a copy of the selected day appears while the program runs and the day is
# marked and the bar shown within the folder watch's delay; 比べる shows both versions side
# by side (screenshot); each of the four choices leaves exactly the expected bytes in the
# day file, and the copy moved into .Mekuri-conflicts byte for byte (後で決める: left alone).
#
# Usage: conflicts_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=conflicts_e2e
E2E_LIFETIME=240
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
program=$1
e2e_need Xvfb xdotool import convert iconv od touch
unset QT_IM_MODULE XMODIFIERS GTK_IM_MODULE
export TZ=Asia/Tokyo
D="$E2E_DIR/diary"
A="$D/.Mekuri-conflicts"

sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
MINE=$(printf 'この端末の行\r\n共通の行\r\n')
OTHER=$(printf '共通の行\r\nもう一台の行\r\n')
# $(...) drops the final line breaks: written with printf, kept in hex.
mine_hex() { { sjis "この端末の行"; printf '\r\n'; sjis "共通の行"; printf '\r\n'; } | e2e_hex; }
other_hex() { { sjis "共通の行"; printf '\r\n'; sjis "もう一台の行"; printf '\r\n'; } | e2e_hex; }
put_mine() { { sjis "この端末の行"; printf '\r\n'; sjis "共通の行"; printf '\r\n'; } >"$1"; }
put_other() { { sjis "共通の行"; printf '\r\n'; sjis "もう一台の行"; printf '\r\n'; } >"$1"; }
: "$MINE" "$OTHER"

# Pixels of one colour in the main window's picture.
pixels_of() {
  import -window "$WIN" "$E2E_DIR/now.png" 2>/dev/null || { echo 0; return; }
  convert "$E2E_DIR/now.png" -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:int(mean*w*h+0.5)]' info:
}
bar_shown() { [ "$(pixels_of 'rgb(255,236,200)')" -gt 500 ]; }
bar_gone() { [ "$(pixels_of 'rgb(255,236,200)')" -lt 50 ]; }
mark_shown() { [ "$(pixels_of 'rgb(208,0,0)')" -gt 10 ]; }

# Four days from today, each with this machine's version written before the start.
days=()
for i in 0 1 2 3; do
  f=$(e2e_day_file "today + $i day")
  put_mine "$f"
  days+=("$f")
done
e2e_start_xvfb
e2e_start_program "$program"
e2e_wait_until 10 bar_gone || e2e_fail "a conflict bar without a conflict copy"
! mark_shown || e2e_fail "a conflict mark without a conflict copy"

# round N CHOICE_KEY EXPECTED_HEX: the sync tool brings another version of day N (written
# to a temporary name, then renamed, as the tools do); the bar and mark show; 比べる; the
# choice; then the day file and the copy are checked.
round() {
  local n=$1 key=$2 expected=$3 day=${days[$1]} stem copy name
  stem=$(basename "${day%.dat}")
  name="$stem.sync-conflict-20261207-143012-ABCDEF$n.dat"
  copy="$D/$name"
  put_other "$D/.syncthing.$name.tmp"
  touch -d '2026-12-07 14:30:12' "$D/.syncthing.$name.tmp"
  local before
  before=$(date +%s%N)
  mv "$D/.syncthing.$name.tmp" "$copy"
  e2e_wait_until 5 bar_shown || e2e_fail "round $n: no bar after the copy appeared"
  mark_shown || e2e_fail "round $n: no conflict mark in the calendars"
  e2e_log "round $n: marked after $((($(date +%s%N) - before) / 1000000)) ms"
  [ "$n" = 0 ] && e2e_shot conflict_marked
  e2e_key alt+k
  e2e_wait_question "compare window"
  [ "$n" = 0 ] && e2e_shot compare_window
  e2e_key "$key"
  e2e_question_gone "compare window"
  sleep 0.5
  local got
  got=$(e2e_hex <"$day")
  [ "$got" = "$expected" ] || e2e_fail "round $n ($key): day file $got, expected $expected"
  if [ "$key" = alt+l ]; then
    [ -f "$copy" ] || e2e_fail "round $n: 後で決める moved the copy"
    bar_shown || e2e_fail "round $n: the bar went although the copy stays"
  else
    [ ! -e "$copy" ] || e2e_fail "round $n: the copy is still beside the day file"
    [ "$(e2e_hex <"$A/$name")" = "$(other_hex)" ] || e2e_fail "round $n: the copy set aside is not the other version"
    e2e_wait_until 5 bar_gone || e2e_fail "round $n: the bar stayed after the choice"
  fi
  e2e_log "round $n ($key): day file and copy as expected"
}

separator_hex() { { sjis "――――― 別の版（Syncthing、2026年12月7日 14:30） ―――――"; printf '\r\n'; } | e2e_hex; }
round 0 alt+m "$(mine_hex)"
e2e_next_day
round 1 alt+o "$(other_hex)"
e2e_next_day
round 2 alt+b "$(mine_hex)$(separator_hex)$(other_hex)"
e2e_next_day
round 3 alt+l "$(mine_hex)"
e2e_shot after_rounds
e2e_log "PASS"
