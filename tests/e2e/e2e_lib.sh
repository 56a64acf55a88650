# Shared steps of the end-to-end runs: a private X server, the program in a diary folder
# of its own, and waiting for windows. Source it after setting `program`.
diary=$(mktemp -d)
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$diary"
}
trap cleanup EXIT

# Starts Xvfb on a display it picks itself (so parallel runs never clash); -noreset keeps
# it from resetting when the readiness probe, its first client, leaves.
start_x() {
  local fifo="$diary/displayfd" n
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 20 n <"$fifo" || fail "Xvfb did not start"
  export DISPLAY=":$n"
  # The program must reach this server whatever platform the caller's environment names
  # (the widget tests run with the offscreen one).
  export QT_QPA_PLATFORM=xcb
  for _ in $(seq 300); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

# Runs the program from a private copy in the scratch folder, with the window library it
# loads from beside itself: its settings file then lands there, not in the build tree.
use_private_copy() {
  mkdir "$diary/bin"
  cp "$program" "$(dirname "$program")/libmekuri-window.so" "$diary/bin/"
  program="$diary/bin/mekuri"
}

start_program() {
  (cd "$diary" && LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 exec "$program") &
  app_pid=$!
}

# Prints the id of the first visible window whose name matches, or nothing after 30 s (a
# busy machine can take that long to show the first window).
find_window() {
  local w=""
  for _ in $(seq 300); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$w" ] && break
    sleep 0.1
  done
  echo "$w"
}
