#!/bin/bash
# `mekuri export` run as a script runs it, with no X server: the exact text and Markdown
# forms, a PDF read back with pdftotext, empty and broken entries, the pair of days whose
# plain names clash, and the exit status and message of every kind of bad input.
set -u
program=$1
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

d="$work/diary"
mkdir "$d"
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
# CR LF text; text without a final line end; an empty file; a lone CR kept as it is.
sjis $'一日目の日記\r\n二行目\r\n' > "$d/2026126.dat"
sjis 'abc' > "$d/2026127.dat"
: > "$d/2026128.dat"
sjis $'a\rb\r\n\r\n' > "$d/20261210.dat"
# A lone lead byte, and a lead byte whose pair is unmapped (its '@' stays): not CP932.
printf 'ok\x82\r\n\x85\x40end\r\n' > "$d/2026129.dat"
# 2027111.dat is 2027-11-01; 2027-01-11 has the separated name.
sjis $'十一月一日\r\n' > "$d/2027111.dat"
sjis $'一月十一日\r\n' > "$d/2027-01-11.dat"
# Not day files.
echo x > "$d/notes.dat"; echo x > "$d/2026-1-7.dat"

run() {  # run ARGS...: sets status, out, err
  "$program" export "$@" > "$work/out" 2> "$work/err"
  status=$?
  out=$(cat "$work/out"; echo .); out=${out%.}
  err=$(cat "$work/err")
}

expected_text=$'2026-12-06(日)\n一日目の日記\n二行目\n\n2026-12-07(月)\nabc\n\n2026-12-09(水)\nok\uFFFD\n\uFFFD@end\n\n2026-12-10(木)\na\rb\n\n\n2027-01-11(月)\n一月十一日\n\n2027-11-01(月)\n十一月一日\n\n'
run --folder "$d"
[ "$status" = 0 ] || fail "text: status $status ($err)"
[ "$out" = "$expected_text" ] || { fail "text output"; diff <(printf '%s' "$expected_text") "$work/out" | head; }
grep -q '2026-12-09' <<<"$err" || fail "no warning naming the broken day: $err"
[ "$(grep -c '警告' <<<"$err")" = 1 ] || fail "one warning expected: $err"

expected_md=$'## 2026-12-06(日)\n\n一日目の日記\n二行目\n\n## 2026-12-07(月)\n\nabc\n\n'
run --folder "$d" --format markdown --to 2026-12-08
[ "$status" = 0 ] && [ "$out" = "$expected_md" ] || { fail "markdown ($status)"; diff <(printf '%s' "$expected_md") "$work/out" | head; }
[ -z "$err" ] || fail "markdown: unexpected message $err"
[ "$(grep -c . "$work/err")" = 0 ] || fail "unexpected messages"

run --folder "$d" --from 2027-01-01 --to=2027-12-31
[ "$out" = $'2027-01-11(月)\n一月十一日\n\n2027-11-01(月)\n十一月一日\n\n' ] || fail "clashing names: $out"

run --folder "$d" --from 2027-01-12 --to 2027-10-31
[ "$status" = 0 ] && [ -z "$out" ] || fail "empty period: $status '$out'"

# -o writes exactly what standard output shows; the folder is also found through MEKURI_DIARY.
MEKURI_DIARY="$d" "$program" export -o "$work/all.txt" 2>/dev/null || fail "-o: status $?"
[ "$(cat "$work/all.txt"; echo .)" = "$expected_text." ] || fail "-o file differs"
ls "$work" | grep -q '^\.' && fail "temporary file left in $work"

run --folder "$d" --format pdf -o "$work/all.pdf"
[ "$status" = 0 ] || fail "pdf: status $status ($err)"
[ "$err" = "mekuri export: 警告: 2026-12-09 の日記に Shift-JIS として読めないバイトがあり、U+FFFD に置き換えました" ] ||
  fail "pdf: the broken day's warning alone expected on stderr: $err"
if [ -s "$work/all.pdf" ]; then
  text=$(pdftotext -layout "$work/all.pdf" -)
  for want in '2026年12月6日(日)' '一日目の日記' '2027年11月1日(月)' '1 / 6' '6 / 6'; do
    grep -qF "$want" <<<"$text" || fail "pdf lacks $want"
  done
  [ "$(pdfinfo "$work/all.pdf" | awk '/^Pages:/ {print $2}')" = 6 ] || fail "pdf: one page per day expected"
else
  fail "no pdf"
fi
# The calendar's names in the header: New Year's Day from the shipped holidays.
sjis $'元日の日記\r\n' > "$d/202711.dat"
run --folder "$d" --format pdf --from 2027-01-01 --to 2027-01-01 -o "$work/newyear.pdf"
pdftotext -layout "$work/newyear.pdf" - | grep -q '2027年1月1日(金)  *元日' || fail "holiday name not in the header"

# Bad input: status 2, a Japanese message, and no output file.
bad() {  # bad DESCRIPTION PATTERN ARGS...
  local what=$1 pattern=$2; shift 2
  rm -f "$work/bad.out"
  run "$@"
  [ "$status" = 2 ] || fail "$what: status $status"
  grep -q "^mekuri export: .*$pattern" <<<"$err" || fail "$what: message '$err'"
  [ -e "$work/bad.out" ] && fail "$what: output file left"
  [ -z "$out" ] || fail "$what: output on stdout"
}
bad "missing folder" "フォルダー" --folder "$work/none" -o "$work/bad.out"
bad "folder is a file" "フォルダーではありません" --folder "$d/2026126.dat"
bad "impossible date" "日付 2026-02-30" --folder "$d" --from 2026-02-30
bad "malformed date" "日付 2026-1-5" --folder "$d" --to 2026-1-5
bad "reversed period" "より後" --folder "$d" --from 2026-12-31 --to 2026-12-01
bad "unknown option" "不明なオプション" --folder "$d" --verbose
bad "unknown format" "形式 html" --folder "$d" --format html -o "$work/bad.out"
bad "pdf to stdout" "PDF には -o" --folder "$d" --format pdf
bad "operand" "余分な引数" --folder "$d" extra
bad "missing value" "値が必要" --folder "$d" -o
bad "output folder missing" "書き込めません" --folder "$d" -o "$work/none/out.txt"
bad "output under a file" "書き込めません" --folder "$d" --format pdf -o "$d/2026126.dat/out.pdf"
mkdir "$work/outdir"
bad "output is a folder" "書き込めません" --folder "$d" -o "$work/outdir"
[ -z "$(ls -A "$work/outdir")" ] || fail "files left in the output folder"
mkdir "$work/ro"; chmod a-w "$work/ro"
if [ "$(id -u)" != 0 ]; then
  bad "read-only output folder" "書き込めません" --folder "$d" -o "$work/ro/out.txt"
  bad "read-only output folder (pdf)" "書き込めません" --folder "$d" --format pdf -o "$work/ro/out.pdf"
  [ -z "$(ls -A "$work/ro")" ] || fail "files left in the read-only folder"
  chmod a-r "$d/2026127.dat"
  bad "unreadable day file" "2026127.dat" --folder "$d" -o "$work/bad.out"
  chmod u+r "$d/2026127.dat"
fi

"$program" export --help > "$work/help" 2>&1 && grep -q -- '--format' "$work/help" || fail "--help"

[ "$failures" = 0 ] && echo "export command: all checks passed"
exit $((failures > 0))
