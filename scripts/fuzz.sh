#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer in build-fuzz/ and runs each for the
# given number of seconds (default 20) over its committed seed corpus fuzz/corpus/<name>/.
# New inputs the fuzzers find go to build-fuzz/corpus/<name>/, so the committed seeds stay
# as they are. Any finding (crash, sanitizer report, hang, failed check) stops the script
# with a non-zero status; the input that caused it lands in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
out=build-fuzz
mkdir -p "$out/artifacts"

flags=(-std=c++20 -O1 -g -I. -Wall -Wextra
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)

# The text tables are made as the build makes them, by their generator (ICU for the
# character properties, iconv for CP932).
clang++ -std=c++20 -O1 -I. tools/gen_text_tables.cpp -licuuc -o "$out/gen_text_tables"
"$out/gen_text_tables" "$out/text_tables.cpp"
text="platform/extra_chars.cpp platform/grapheme.cpp platform/unicode_text.cpp $out/text_tables.cpp"

# name, max input length (room for a long diary or a long personal rule list), sources
# (the target first)
targets=(
  "settings 4096 fuzz/settings_store_fuzz.cpp settings/profile_text.cpp"
  "holiday_rules 8192 fuzz/holiday_rules_fuzz.cpp calendar/holiday_rules.cpp calendar/equinox.cpp
     calendar/julius.cpp platform/convert.cpp platform/sjis.cpp platform/string_list.cpp"
  "print_layout 16384 fuzz/print_layout_fuzz.cpp diary/print_layout.cpp diary/line_breaking.cpp diary/diary_export.cpp diary/day_file.cpp
     diary/day_file_name.cpp diary/day_file_form.cpp calendar/julius.cpp platform/file_error.cpp platform/folder_files.cpp platform/sjis.cpp $text"
  "day_text 65536 fuzz/day_text_fuzz.cpp diary/day_file_form.cpp platform/sjis.cpp $text"
  "editor_loader 65536 fuzz/editor_loader_fuzz.cpp editor/byte_arena.cpp editor/caret_rule.cpp
     editor/column_map.cpp editor/line_compact.cpp editor/edit_commands.cpp editor/edit_lines.cpp editor/edit_session.cpp
     editor/edit_transaction.cpp editor/editor_strings.cpp editor/key_moves.cpp editor/row_list.cpp editor/row_list_cut.cpp editor/row_loader.cpp
     editor/row_store.cpp editor/row_wrap.cpp editor/selection.cpp editor/undo_apply.cpp
     editor/undo_list.cpp editor/word_bounds.cpp platform/file_error.cpp platform/folder_files.cpp platform/safe_file.cpp
     platform/safe_write.cpp platform/sjis.cpp platform/string_list.cpp"
)

# The builds run side by side (two cores); the runs one after another.
pids=()
for t in "${targets[@]}"; do
  read -r -a words <<<"$(echo $t)"
  name="${words[0]}"
  binary="$out/$(basename "${words[2]}" .cpp)"
  clang++ "${flags[@]}" "${words[@]:2}" -o "$binary" &
  pids+=($!)
  if ((${#pids[@]} == 2)); then
    wait "${pids[0]}"
    pids=("${pids[1]}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid"; done

for t in "${targets[@]}"; do
  read -r -a words <<<"$(echo $t)"
  name="${words[0]}"
  binary="$out/$(basename "${words[2]}" .cpp)"
  mkdir -p "$out/corpus/$name"
  echo "== $name: ${seconds}s"
  "$binary" -max_total_time="$seconds" -max_len="${words[1]}" -timeout=10 \
    -artifact_prefix="$out/artifacts/${name}-" -print_final_stats=1 \
    "$out/corpus/$name" "fuzz/corpus/$name"
done
