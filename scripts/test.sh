#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit, widget
# (offscreen) and end-to-end (the real program under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_deps.sh --test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMEKURI_BUILD_TESTS=ON -DMEKURI_BUILD_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j"$(nproc)"
