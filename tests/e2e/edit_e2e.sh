#!/usr/bin/env bash
# Edits in the real program under a private X server, driven with xdotool as a person
# would: ASCII typed into Editor1, a selection made by dragging the mouse, copy, cut and
# paste by their shortcuts, undo and redo by Ctrl+Z / Ctrl+Y and by the menu items
# 元に戻す / もう一度. The text is read back after each step through the program's own
# 全て選択 and copy, and at the end through its 保存. Screenshots go to the build folder.
#
# Usage: edit_e2e.sh PROGRAM OUT_DIR
set -uo pipefail
E2E_NAME=edit_e2e
# shellcheck source=e2e_session.sh
source "$(dirname "$0")/e2e_session.sh"
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM OUT_DIR" >&2; exit 1; }
e2e_init "$2"
e2e_need Xvfb xdotool import /usr/bin/convert xclip od timeout
unset QT_IM_MODULE XMODIFIERS GTK_IM_MODULE

e2e_start_xvfb
e2e_start_program "$1"

# expect WHAT TEXT: the editor holds exactly TEXT.
expect() {
  local got
  got=$(e2e_editor_text)
  [ "$got" = "$2" ] || e2e_fail "$1: the editor holds '$got', expected '$2'"
  e2e_log "ok: $1: '$got'"
}

# The bounding box "W H X Y" of the pixels that differ strongly between two screenshots:
# glyphs and the caret, not the silver rule drawn under each row, nor the status bar, whose
# character count follows the text.
changed_box() {
  /usr/bin/convert "$1" "$2" -compose difference -composite -compose over -fill black \
    -draw "rectangle $X,$((Y + HEIGHT - 30)) $((X + WIDTH)),$((Y + HEIGHT))" \
    -colorspace gray -threshold 50% -trim -format '%w %h %X %Y' info: 2>/dev/null | tr -d '+'
}

e2e_click_editor
e2e_shot e2e_edit_empty
text="alpha beta gamma"
timeout 20 xdotool type --delay 40 "$text" || e2e_fail "xdotool type failed"
e2e_key Home
e2e_shot e2e_edit_typed
read -r box_w box_h box_x box_y <<<"$(changed_box "$E2E_OUT/e2e_edit_empty.png" "$E2E_OUT/e2e_edit_typed.png")"
[ -n "${box_y:-}" ] && [ "${box_w:-0}" -gt 50 ] || e2e_fail "typing '$text' changed nothing on the screen"
# The typed row: its glyphs (and the caret bar at column 0) give the row's place and the
# cell width of the fixed grid.
cell=$(((box_w + 8) / ${#text}))
row_y=$((box_y + box_h / 2))
col_x() { echo $((box_x + $1 * cell + cell / 3)); }
e2e_log "typed row at y=$row_y, column 0 at x=$box_x, cell width $cell"
expect "typed text" "$text"

# Drag from column 6 to column 10 selects "beta".
xdotool mousemove "$(col_x 6)" "$row_y" mousedown 1
sleep 0.2
for c in 7 8 9 10; do
  xdotool mousemove "$(col_x "$c")" "$row_y"
  sleep 0.1
done
xdotool mouseup 1
sleep 0.3
e2e_shot e2e_edit_drag
e2e_key ctrl+c
[ "$(e2e_clipboard)" = "beta" ] || e2e_fail "the dragged selection copied '$(e2e_clipboard)', expected 'beta'"
e2e_log "ok: mouse drag selected 'beta'"

e2e_key ctrl+x
e2e_key Home
e2e_key ctrl+v
expect "cut, then paste at the line start" "betaalpha  gamma"
e2e_key ctrl+z
expect "Ctrl+Z undoes the paste" "alpha  gamma"
e2e_key ctrl+z
expect "Ctrl+Z undoes the cut" "alpha beta gamma"
e2e_key ctrl+y
expect "Ctrl+Y redoes the cut" "alpha  gamma"
e2e_edit_menu r
expect "もう一度 redoes the paste" "betaalpha  gamma"
e2e_edit_menu u
expect "元に戻す undoes the paste" "alpha  gamma"
e2e_shot e2e_edit_final
saved=$(e2e_saved_day_file) || e2e_fail "保存 wrote no day file"
[ "$saved" = "$(printf 'alpha  gamma' | e2e_hex)" ] || e2e_fail "the saved day file holds bytes $saved"
e2e_log "ok: 保存 wrote the edited text"
echo "e2e: editing ok (screenshots in $E2E_OUT)"
