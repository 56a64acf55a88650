#!/usr/bin/env bash
# Characters Shift-JIS lacks, entered as a user enters them into the real program: an
# emoji chosen from mozc's candidates (fcitx5 on a private session bus), one pasted from
# the clipboard, café, 𠮷 and a ZWJ family typed key by key (the family's joiners and
# members arrive one at a time and must join into one character). The day is saved: its
# file must be UTF-8 with the byte-order mark, byte for byte. The text comes back after a
# day change and after a restart, `mekuri search` finds it, `mekuri days` counts the family
# as one character, and the Markdown and PDF exports hold it (pdftotext reads it back).
#
# Usage: unicode_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=unicode_e2e
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
e2e_need pdftotext

# shellcheck source=e2e_input_method.sh
source "$(dirname "$0")/e2e_input_method.sh"
e2e_start_input_method
e2e_start_program "$1" "${AS_USER[@]}"
mekuri=$E2E_DIR/bin/mekuri

e2e_click_editor
has_ic() { remote | grep -qx '[12]'; }
e2e_wait_until 10 has_ic || e2e_fail "fcitx5 sees no focused input context"
is_on() { [ "$(remote)" = 2 ]; }
is_off() { [ "$(remote)" = 1 ]; }

# すし converted, the candidate list opened with a second Space, and the emoji chosen by
# its number (its place among the candidates depends on mozc's dictionary: 7 in Debian 12's;
# the other places on the first page are tried after it). Each try is committed, copied
# and removed until the committed word is 🍣.
SUSHI=$'\xf0\x9f\x8d\xa3'
found=""
for number in 7 1 2 3 4 5 6 8 9; do
  e2e_key ctrl+space
  e2e_wait_until 10 is_on || e2e_fail "Ctrl+Space did not switch the input method on"
  timeout 30 xdotool type --delay 120 sushi || e2e_fail "xdotool type failed"
  sleep 0.5
  e2e_key space
  e2e_key space
  sleep 0.5
  e2e_key "$number"
  sleep 0.5
  [ -n "$found" ] || e2e_shot e2e_unicode_candidates
  e2e_key Return
  e2e_key ctrl+space
  e2e_wait_until 10 is_off || e2e_fail "Ctrl+Space did not switch the input method off"
  e2e_key shift+Home
  e2e_key ctrl+c
  if [ "$(e2e_clipboard)" = "$SUSHI" ]; then
    found=$number
    e2e_key End
    break
  fi
  e2e_key Delete
done
[ -n "$found" ] || e2e_fail "mozc offered no sushi emoji on the first page of the candidates of すし"
e2e_shot e2e_unicode_candidate
e2e_log "ok: the emoji came from mozc's candidates (number $found)"

# One pasted from the clipboard: a smiling face with its colour form asked for.
SMILE=$'\xe2\x98\xba\xef\xb8\x8f'
printf '%s' "$SMILE" | timeout 5 xclip -selection clipboard -i || e2e_fail "xclip failed"
sleep 0.3
e2e_key ctrl+v
# Typed: café with its accent as its own key after the e, 𠮷, and the family one code
# point at a time (man, ZWJ, woman, ZWJ, girl).
ACUTE=$'\xcc\x81'
KICHI=$'\xf0\xa0\xae\xb7'
ZWJ=$'\xe2\x80\x8d'
FAMILY=$'\xf0\x9f\x91\xa8'$ZWJ$'\xf0\x9f\x91\xa9'$ZWJ$'\xf0\x9f\x91\xa7'
type_each() {
  local c
  for c in "$@"; do timeout 10 xdotool type --delay 80 "$c" || e2e_fail "xdotool type '$c' failed"; done
}
type_each " " c a f e "$ACUTE" " " "$KICHI" " " $'\xf0\x9f\x91\xa8' "$ZWJ" $'\xf0\x9f\x91\xa9' "$ZWJ" $'\xf0\x9f\x91\xa7'
sleep 0.5
e2e_shot e2e_unicode_typed
TEXT="$SUSHI$SMILE cafe$ACUTE $KICHI $FAMILY"
e2e_key ctrl+s
today=$(e2e_day_file today)
[ -f "$today" ] || e2e_fail "Ctrl+S wrote no day file"
want_hex=$(printf '\xef\xbb\xbf%s' "$TEXT" | e2e_hex)
got_hex=$(e2e_hex <"$today")
[ "$got_hex" = "$want_hex" ] || e2e_fail "the day file holds $got_hex, expected UTF-8 with the mark: $want_hex"
e2e_log "ok: saved as UTF-8 with the byte-order mark, byte for byte"

# The family is one character: one Backspace takes all of it, Undo brings it back.
e2e_key End
e2e_key BackSpace
e2e_key ctrl+a
e2e_key ctrl+c
[ "$(e2e_clipboard)" = "$SUSHI$SMILE cafe$ACUTE $KICHI " ] || e2e_fail "one Backspace left '$(e2e_clipboard)'"
e2e_key ctrl+z
e2e_key ctrl+a
e2e_key ctrl+c
[ "$(e2e_clipboard)" = "$TEXT" ] || e2e_fail "Undo gave back '$(e2e_clipboard)'"
e2e_log "ok: one Backspace removes the whole family, one Undo brings it back"

e2e_next_day
xdotool mousemove $((X + 248 + 15)) $((Y + 57)) click 3  # 日毎, right click: a day back
sleep 0.8
e2e_shot e2e_unicode_day_change
shown=$(e2e_editor_text)
[ "$shown" = "$TEXT" ] || e2e_fail "after a day change the editor shows '$shown'"
e2e_log "ok: shown again after a day change"

e2e_stop_pid "$APP_PID" mekuri
e2e_start_program "$1" "${AS_USER[@]}"
# The editor starts empty; the day's file shows once the day is chosen again.
e2e_next_day
xdotool mousemove $((X + 248 + 15)) $((Y + 57)) click 3
sleep 0.8
e2e_shot e2e_unicode_restart
e2e_click_editor
shown=$(e2e_editor_text)
[ "$shown" = "$TEXT" ] || e2e_fail "after a restart the editor shows '$shown'"
e2e_log "ok: shown again after a restart"

cd "$E2E_DIR/diary" || e2e_fail "no diary folder"
for word in "$SUSHI" "$KICHI" "caf"$'\xc3\xa9' "$FAMILY"; do
  out=$(timeout 20 "$mekuri" search --folder . "$word" 2>&1) || e2e_fail "mekuri search '$word' failed: $out"
  grep -qF "$KICHI" <<<"$out" || e2e_fail "mekuri search '$word' did not find the day: $out"
done
e2e_log "ok: mekuri search finds each of them (café also as é precomposed)"
days=$(timeout 20 "$mekuri" days --folder . 2>&1) || e2e_fail "mekuri days failed: $days"
# 🍣 ☺️ space c a f é space 𠮷 space family: 11 characters.
grep -Eq '(^|[^0-9])11([^0-9]|$)' <<<"$days" || e2e_fail "mekuri days does not count 11 characters: $days"
e2e_log "ok: mekuri days counts 11 characters, the family as one"
timeout 20 "$mekuri" export --folder . --format markdown -o "$E2E_DIR/out.md" || e2e_fail "Markdown export failed"
grep -qF "$TEXT" "$E2E_DIR/out.md" || e2e_fail "the Markdown export lacks the text: $(cat "$E2E_DIR/out.md")"
timeout 60 "$mekuri" export --folder . --format pdf -o "$E2E_DIR/out.pdf" || e2e_fail "PDF export failed"
pdf=$(pdftotext "$E2E_DIR/out.pdf" - 2>/dev/null)
for word in "$SUSHI" "$KICHI" "caf" $'\xf0\x9f\x91\xa8'; do
  grep -qF "$word" <<<"$pdf" || e2e_fail "pdftotext does not find '$word' in the PDF: $pdf"
done
timeout 20 pdftoppm -r 60 -png -f 1 -l 1 "$E2E_DIR/out.pdf" "$E2E_OUT/e2e_unicode_pdf" || e2e_log "warning: no picture of the PDF"
e2e_log "ok: the Markdown and PDF exports hold the text"
echo "e2e: characters beyond Shift-JIS ok (screenshots in $E2E_OUT)"
