#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine; packages that
# are already there are skipped, so a second run costs nothing.
set -euo pipefail
# The editor, print and PDF fall back per character to the face that holds the CJK
# extension planes (U+3400…, U+20000…) and to emoji faces: in colour on screen, in black
# outlines on paper and in PDFs (a colour bitmap face prints as nothing).
want=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libgl-dev libfontconfig-dev fonts-ipafont-gothic fonts-ipafont-mincho fonts-noto-color-emoji fonts-hanazono fonts-symbola locales libnova-dev libicu-dev dpkg-dev file)
if [ "${1:-}" = "--test" ]; then
  want+=(googletest libgtest-dev libbenchmark-dev xvfb xdotool imagemagick x11-utils xclip clang libclang-rt-14-dev poppler-utils desktop-file-utils lintian man-db)
  # The search benchmark compares against ripgrep.
  want+=(ripgrep)
  # Japanese typed through a real input method in the end-to-end test.
  want+=(fcitx5 fcitx5-mozc fcitx5-frontend-qt6 dbus-daemon dbus-bin)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The calendars ask the locale for weekday names; the Japanese one must exist.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
