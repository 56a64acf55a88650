# shellcheck shell=bash
# Shared by the end-to-end scripts: a private X server, the program started from a
# scratch folder of its own, keys, clicks, screenshots, the clipboard, and a cleanup that
# stops exactly the processes the script started.
#
# A script sets E2E_NAME, sources this file, and calls e2e_init first.

E2E_PIDS=()  # "pid:name" in start order; stopped in reverse order
E2E_KEEP=0   # keep the scratch folder (set on failure)
# Helpers live at most this long, in case the script itself is killed before its cleanup.
E2E_LIFETIME=${E2E_LIFETIME:-150}

e2e_log() { printf '[%s %(%H:%M:%S)T] %s\n' "$E2E_NAME" -1 "$*" >&2; }

e2e_fail() {
  e2e_log "FAIL: $*"
  E2E_KEEP=1
  exit 1
}

e2e_alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

# Stops one process: SIGTERM, SIGKILL after 3 s.
e2e_stop_pid() {
  local pid=$1 name=$2 i
  if e2e_alive "$pid"; then
    kill -TERM "$pid" 2>/dev/null
    for i in $(seq 30); do e2e_alive "$pid" || break; sleep 0.1; done
    if e2e_alive "$pid"; then
      e2e_log "cleanup: $name ($pid) ignored SIGTERM"
      kill -KILL "$pid" 2>/dev/null
    fi
  fi
  wait "$pid" 2>/dev/null || true
}

# A hook a script may define to stop processes the list cannot know of.
e2e_extra_cleanup() { :; }

e2e_cleanup() {
  local rc=$? i
  trap - EXIT INT TERM
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
    e2e_stop_pid "${E2E_PIDS[$i]%%:*}" "${E2E_PIDS[$i]#*:}"
  done
  e2e_extra_cleanup
  if [ "$rc" -ne 0 ] || [ "$E2E_KEEP" = 1 ]; then
    e2e_log "scratch folder kept: $E2E_DIR"
    [ "$rc" -ne 0 ] || rc=1
  else
    rm -rf "$E2E_DIR"
  fi
  exit "$rc"
}

# e2e_init OUT_DIR: scratch folder, traps.
e2e_init() {
  E2E_OUT=$1
  mkdir -p "$E2E_OUT"
  E2E_DIR=$(mktemp -d "/tmp/mekuri_${E2E_NAME}.XXXXXX") || { echo "mktemp failed" >&2; exit 1; }
  chmod 755 "$E2E_DIR"
  mkdir -p "$E2E_DIR/bin" "$E2E_DIR/diary"
  trap e2e_cleanup EXIT
  trap 'e2e_fail "interrupted"' INT TERM
}

# e2e_need CMD... : fails naming every missing command.
e2e_need() {
  local missing=() c
  for c in "$@"; do command -v "$c" >/dev/null 2>&1 || missing+=("$c"); done
  [ ${#missing[@]} -eq 0 ] || e2e_fail "missing commands: ${missing[*]} (install them with scripts/install_deps.sh --test)"
}

# e2e_wait_until SECONDS CMD... : polls every 0.1 s.
e2e_wait_until() {
  local secs=$1
  shift
  local end=$(($(date +%s%N) + secs * 1000000000))
  while [ "$(date +%s%N)" -lt "$end" ]; do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Starts Xvfb on a display it picks itself, so parallel runs never clash.
e2e_start_xvfb() {
  : >"$E2E_DIR/display"
  timeout -k 5 "$E2E_LIFETIME" Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset \
    5>"$E2E_DIR/display" >"$E2E_DIR/xvfb.log" 2>&1 &
  E2E_PIDS+=("$!:Xvfb")
  e2e_wait_until 20 grep -q '[0-9]' "$E2E_DIR/display" || e2e_fail "Xvfb did not start (see $E2E_DIR/xvfb.log)"
  DISPLAY=":$(tr -dc '0-9' <"$E2E_DIR/display")"
  export DISPLAY
  e2e_wait_until 10 timeout 3 xdotool getmouselocation >/dev/null 2>&1 || e2e_fail "cannot talk to Xvfb on $DISPLAY"
  e2e_log "Xvfb on $DISPLAY"
}

# e2e_start_program PROGRAM [PREFIX...]: copies the program, with the window library it
# loads from beside itself, into the scratch folder (its settings file lands beside it,
# not in the build tree) and starts it from the diary folder, where its day files go.
# PREFIX runs it as another user. Sets APP_PID, WIN and the window's X, Y, WIDTH, HEIGHT.
e2e_start_program() {
  local program=$1
  shift
  cp "$program" "$(dirname "$program")/libmekuri-window.so" "$E2E_DIR/bin/"
  [ "$(id -u)" != 0 ] || [ $# -eq 0 ] || chown -R "${E2E_RUN_UID}:${E2E_RUN_UID}" "$E2E_DIR/bin" "$E2E_DIR/diary"
  # A diary folder named in the environment would take the day files elsewhere.
  (cd "$E2E_DIR/diary" && unset MEKURI_DIARY && LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb \
    exec timeout -k 5 "$E2E_LIFETIME" "$@" "$E2E_DIR/bin/mekuri") >"$E2E_DIR/mekuri.out" 2>"$E2E_DIR/mekuri.err" &
  APP_PID=$!
  E2E_PIDS+=("$APP_PID:mekuri")
  WIN=""
  find_window() { WIN=$(xdotool search --onlyvisible --name "Mekuri v.1.16" 2>/dev/null | head -n1); [ -n "$WIN" ]; }
  e2e_wait_until 30 find_window || e2e_fail "the main window did not appear (see $E2E_DIR/mekuri.err)"
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  timeout 5 xdotool windowfocus --sync "$WIN" || e2e_fail "cannot focus the main window"
  e2e_log "program up: window $WIN at $X,$Y size ${WIDTH}x$HEIGHT"
}

e2e_shot() { timeout 20 import -window root "$E2E_OUT/$1.png" || e2e_log "warning: screenshot $1 failed"; }

# Focus into Editor1 by a click: it fills the window's lower part, above the 25-pixel
# status bar. The click leaves the caret where it fell (the caret moves freely beyond
# the text), so Ctrl+Home brings it to the start of the text.
e2e_click_editor() {
  xdotool mousemove $((X + 300)) $((Y + HEIGHT - 60)) click 1
  sleep 0.3
  e2e_key ctrl+Home
}

e2e_key() {
  timeout 5 xdotool key --clearmodifiers "$@" || e2e_fail "xdotool key $* failed"
  sleep 0.3
}

# The menu 編集(&E) → the item with the given mnemonic.
e2e_edit_menu() {
  e2e_key alt+e
  e2e_key "$1"
}

# The clipboard's text as the program offers it (UTF-8).
e2e_clipboard() { timeout 5 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null; }

# The whole editor text through the program's own 全て選択 and copy, as UTF-8.
e2e_editor_text() {
  e2e_edit_menu a
  e2e_key ctrl+c
  e2e_clipboard
}

e2e_hex() { od -An -tx1 -v | tr -d ' \n'; }

# The hex bytes of the day file that the program's own 保存 (登録/削除 → 保存) writes.
# The diary folder is empty before, so the one file there is the selected day's.
e2e_saved_day_file() {
  e2e_key alt+t
  e2e_key s
  local files=("$E2E_DIR"/diary/*.dat)
  [ ${#files[@]} -eq 1 ] && [ -f "${files[0]}" ] || { e2e_log "day files after 保存: ${files[*]}"; return 1; }
  e2e_hex <"${files[0]}"
}

# The day file of a date (`date -d` form) in the diary folder, under the program's naming
# rule (the January days that clash with November and December get a dash form).
e2e_day_file() {
  local y m d
  read -r y m d <<<"$(date -d "$1" '+%Y %-m %-d')"
  if [ "$m" = 1 ] && [ "$d" -gt 10 ] && [ $((d % 10)) -ne 0 ]; then
    printf '%s/diary/%d-01-%02d.dat' "$E2E_DIR" "$y" "$d"
  else
    printf '%s/diary/%d%d%d.dat' "$E2E_DIR" "$y" "$m" "$d"
  fi
}

# Waits for a question box: a second visible window of the program.
e2e_wait_question() {
  question_up() { [ "$(xdotool search --onlyvisible --class mekuri 2>/dev/null | wc -l)" -ge 2 ]; }
  e2e_wait_until 10 question_up || e2e_fail "no question box ($1)"
  sleep 0.3
}

# Waits until the question box has gone; without a window manager the keyboard focus
# then has to be given back to the main window by hand.
e2e_question_gone() {
  question_down() { [ "$(xdotool search --onlyvisible --class mekuri 2>/dev/null | wc -l)" -le 1 ]; }
  e2e_wait_until 10 question_down || e2e_fail "the question box stayed ($1)"
  timeout 5 xdotool windowfocus --sync "$WIN" || e2e_fail "cannot focus the main window"
  sleep 0.2
}

# 日毎 in the date panel: a left click steps one day forward.
e2e_next_day() {
  xdotool mousemove $((X + 248 + 15)) $((Y + 57)) click 1
  sleep 0.5
}
