#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it in a diary folder of its
# own, so day files never land in the source tree.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMEKURI_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target mekuri
diary="${MEKURI_DIARY:-$HOME/Mekuri}"
mkdir -p "$diary"
cd "$diary"
# A Japanese program: the calendars take their weekday names from the locale.
case "${LC_ALL:-${LANG:-}}" in
  ja_JP*) ;;
  *) export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 ;;
esac
exec "$OLDPWD/build/app/mekuri"
