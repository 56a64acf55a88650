#!/usr/bin/env bash
# Builds the settings-file fuzz target with clang and libFuzzer in build-fuzz/ and runs it
# for the given number of seconds (default 20) over the committed seed corpus. New inputs
# the fuzzer finds go to build-fuzz/corpus/, so the committed seeds stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
out=build-fuzz
mkdir -p "$out/corpus/settings" "$out/artifacts"
clang++ -std=c++20 -O1 -g -I. -Wall -Wextra \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  fuzz/settings_store_fuzz.cpp settings/profile_text.cpp \
  -o "$out/settings_store_fuzz"
"$out/settings_store_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -artifact_prefix="$out/artifacts/" -print_final_stats=1 \
  "$out/corpus/settings" fuzz/corpus/settings
