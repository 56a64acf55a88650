#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/ and runs the unit and widget tests under them, leaks included. Any
# report fails the run. Leaks are suppressed only inside third-party libraries (see
# scripts/sanitize.supp); every frame of ours stays checked.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_deps.sh --test
# A compiler cache, where the machine has one, spares rebuilding what did not change.
if command -v ccache >/dev/null; then export CMAKE_CXX_COMPILER_LAUNCHER=ccache; fi
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMEKURI_SANITIZE=ON \
  -DMEKURI_BUILD_TESTS=ON -DMEKURI_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitize.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-sanitize
# The end-to-end run drives the real program on an X server; it is the normal build's.
ctest --output-on-failure -j"$(nproc)" -LE e2e
