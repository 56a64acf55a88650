# shellcheck shell=bash
# A real input method for the end-to-end scripts: fcitx5 with mozc on a private session
# bus, reached through Qt's fcitx5 input-context plug-in, under a private X server. Source
# it after e2e_session.sh and e2e_init; e2e_start_input_method starts Xvfb, the bus and
# fcitx5 (the input method inactive, Ctrl+Space toggles it) and sets AS_USER, the prefix
# that runs the program as the bus's user, and `remote`, which asks fcitx5 its state.
# Any step that cannot be done fails the script with its reason.

e2e_start_input_method() {
  e2e_need Xvfb xdotool import xclip od timeout setpriv dbus-daemon dbus-send fcitx5 fcitx5-remote
  qt_plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
  for f in /usr/share/fcitx5/inputmethod/mozc.conf /usr/lib/mozc/mozc_server \
    "$qt_plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so"; do
    [ -e "$f" ] || e2e_fail "missing $f (packages fcitx5-mozc, fcitx5-frontend-qt6: scripts/install_deps.sh --test)"
  done

  # mozc_server refuses to run as root, and a session bus admits only its owner's uid: the
  # bus, fcitx5, mozc and the program run as one unprivileged user. The X server takes
  # local clients of any uid, so it, xdotool and the screenshots stay with the caller.
  AS_USER=()
  if [ "$(id -u)" = 0 ]; then
    E2E_RUN_UID=65534
    AS_USER=(setpriv --reuid="$E2E_RUN_UID" --regid="$E2E_RUN_UID" --clear-groups --)
  fi

  # Every helper carries this run's mark, so that the mozc server fcitx5 starts (and which
  # outlives fcitx5) can be found and stopped by its process id.
  RUN_MARK="mekuri-ime-$$-$(date +%s%N)"
  export MEKURI_E2E_RUN="$RUN_MARK"
  e2e_extra_cleanup() {
    local d pid comm
    for d in /proc/[0-9]*; do
      pid=${d#/proc/}
      comm=$(cat "$d/comm" 2>/dev/null) || continue
      case "$comm" in fcitx5 | mozc_server | mozc_renderer) ;; *) continue ;; esac
      if { tr '\0' '\n' <"$d/environ"; } 2>/dev/null | grep -qx "MEKURI_E2E_RUN=$RUN_MARK"; then
        e2e_stop_pid "$pid" "$comm"
      fi
    done
  }

  # A throwaway home: keyboard-us and mozc in one group, Ctrl+Space toggles, the input
  # method starts inactive, no pop-ups.
  H="$E2E_DIR/home"
  mkdir -p "$H/.config/fcitx5" "$H/.local/share" "$H/.cache" "$E2E_DIR/run"
  cat >"$H/.config/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
EOF
  cat >"$H/.config/fcitx5/config" <<'EOF'
[Hotkey]
EnumerateWithTriggerKeys=True
EnumerateSkipFirst=False

[Hotkey/TriggerKeys]
0=Control+space

[Hotkey/AltTriggerKeys]

[Behavior]
ActiveByDefault=False
ShareInputState=No
PreeditEnabledByDefault=True
ShowInputMethodInformation=False
showInputMethodInformationWhenFocusIn=False
ShowFirstInputMethodInformation=False
EOF
  chmod 700 "$E2E_DIR/run"
  [ "$(id -u)" != 0 ] || chown -R "$E2E_RUN_UID:$E2E_RUN_UID" "$H" "$E2E_DIR/run"
  export HOME="$H" XDG_CONFIG_HOME="$H/.config" XDG_DATA_HOME="$H/.local/share" \
    XDG_CACHE_HOME="$H/.cache" XDG_RUNTIME_DIR="$E2E_DIR/run"
  unset WAYLAND_DISPLAY SESSION_MANAGER GTK_IM_MODULE

  e2e_start_xvfb

  timeout -k 5 "$E2E_LIFETIME" "${AS_USER[@]}" dbus-daemon --session --nofork --nopidfile \
    --address="unix:path=$E2E_DIR/run/bus" --print-address=1 >"$E2E_DIR/dbus.addr" 2>"$E2E_DIR/dbus.log" &
  E2E_PIDS+=("$!:dbus-daemon")
  e2e_wait_until 10 grep -q '^unix:' "$E2E_DIR/dbus.addr" || e2e_fail "the session bus did not start (see $E2E_DIR/dbus.log)"
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_DIR/dbus.addr")
  export DBUS_SESSION_BUS_ADDRESS

  timeout -k 5 "$E2E_LIFETIME" "${AS_USER[@]}" fcitx5 -D --disable=wayland,waylandim >"$E2E_DIR/fcitx5.log" 2>&1 &
  E2E_PIDS+=("$!:fcitx5")
  # fcitx5-remote answers even without fcitx5; the bus knows whether it is there.
  fcitx_up() {
    timeout 3 "${AS_USER[@]}" dbus-send --session --print-reply --dest=org.freedesktop.DBus \
      /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null |
      grep -q 'boolean true'
  }
  e2e_wait_until 20 fcitx_up || e2e_fail "fcitx5 did not come up on the session bus (see $E2E_DIR/fcitx5.log)"
  remote() { timeout 3 "${AS_USER[@]}" fcitx5-remote "$@" 2>/dev/null; }
  e2e_log "fcitx5 up"
  # Qt's programs started from here reach fcitx5.
  export QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
}
