#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit, widget
# (offscreen) and end-to-end (the real program under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_deps.sh --test
# A compiler cache, where the machine has one, spares rebuilding what did not change.
if command -v ccache >/dev/null; then export CMAKE_CXX_COMPILER_LAUNCHER=ccache; fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMEKURI_BUILD_TESTS=ON -DMEKURI_BUILD_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
# Short fuzzing runs of the parsers keep the fuzz targets built and honest.
if ! bash scripts/fuzz.sh 20 >build/fuzz.log 2>&1; then
  cat build/fuzz.log
  echo "fuzzing found a fault" >&2
  exit 1
fi
grep -E '^stat::number_of_executed_units' build/fuzz.log | sed 's/^/fuzz: /' || true
cd build
ctest --output-on-failure -j"$(nproc)"
