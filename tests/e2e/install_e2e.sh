#!/usr/bin/env bash
# Installs the program exactly as the README says, in a fresh copy of the source tree
# (configure, build only the program, install, package), with two liberties: no sudo, and
# the install goes into a DESTDIR. Then starts the installed program on a private X server
# the way the desktop menu does, checks its window against its menu entry, where it keeps
# "Mekuri.ini" and its day files, and what lintian says of the package.
set -euo pipefail
source_dir=$(cd "$2" && pwd)
fail() { echo "install: $*" >&2; exit 1; }
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
# Beside the test build, so that a compiler cache configured for the work tree serves the
# copy too.
work=$(mktemp -d -p "$1" install-e2e.XXXXXX)
trap 'cleanup; rm -rf "$work"' EXIT

# A fresh tree: the files a clone would have, as they stand now.
tree="$work/src"
mkdir -p "$tree"
if git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
     tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -C "$tree" -xf -
else
  tar -C "$source_dir" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$tree" -xf -
fi
[ ! -e "$tree/build" ] || fail "the fresh tree already has a build folder"

# The README's commands, each checked to stand there word for word (less sudo).
readme_commands=(
  'bash scripts/install_deps.sh'
  'cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMEKURI_BUILD_TESTS=OFF'
  'cmake --build build -j"$(nproc)" --target mekuri'
  'sudo cmake --install build'
  '(cd build && cpack -G DEB) && sudo apt install ./build/mekuri_*.deb'
)
install_section=$(sed -n '/^## Install/,/^## /p' "$tree/README.md")
for c in "${readme_commands[@]}"; do
  grep -qF -- "    $c" <<<"$install_section" || fail "the README's install section lacks: $c"
done
[ "$(grep -c '^    [^ ]' <<<"$install_section")" -eq ${#readme_commands[@]} ] ||
  fail "the README's install section has commands this test does not run"

root="$work/root"
command -v ccache >/dev/null && export CMAKE_CXX_COMPILER_LAUNCHER=ccache
# Chained with &&: inside a command whose status is tested, set -e stops nothing.
(
  cd "$tree" &&
  bash scripts/install_deps.sh &&
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMEKURI_BUILD_TESTS=OFF &&
  cmake --build build -j"$(nproc)" --target mekuri &&
  DESTDIR="$root" cmake --install build &&
  # The package is built as the README says; installing it system-wide is left out.
  (cd build && cpack -G DEB)
) >"$work/commands.log" 2>&1 || { tail -n 40 "$work/commands.log" >&2; fail "the README's commands failed"; }

prefix="$root/usr/local"
# Private libraries go to the multiarch library folder, as Debian keeps them.
multiarch=$(gcc -print-multiarch)
id=jp.mekuri.Mekuri
for f in bin/mekuri lib/$multiarch/mekuri/libmekuri-window.so share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
         share/icons/hicolor/256x256/apps/$id.png share/man/man1/mekuri.1.gz \
         share/doc/mekuri/copyright share/doc/mekuri/changelog.gz; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done
file_type=$(file -b "$prefix/share/icons/hicolor/48x48/apps/$id.png")
grep -q "PNG image data, 48 x 48" <<<"$file_type" || fail "the 48 px icon is not a 48x48 PNG ($file_type)"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "the desktop entry does not validate"
cmp -s "$prefix/share/applications/$id.desktop" "$source_dir/resources/desktop/$id.desktop" ||
  fail "the installed desktop entry differs from the source"
man -l "$prefix/share/man/man1/mekuri.1.gz" 2>/dev/null | grep -q MEKURI_DIARY ||
  fail "the manual page does not read or does not mention MEKURI_DIARY"

# Started as the menu starts it, on an X server: the window's class must be the one the
# menu entry names, or docks cannot tie the window to its launcher.
start_x
home="$work/home1"
mkdir -p "$home"
(cd "$home" && umask 022 && env -u MEKURI_DIARY HOME="$home" XDG_CONFIG_HOME="$home/.config" \
   LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 "$prefix/bin/mekuri") &
app_pid=$!
win=$(find_window "Mekuri v.1.16")
[ -n "$win" ] || fail "the installed program showed no window"
wm_class=$(xprop -id "$win" WM_CLASS)
wm_class=${wm_class#*= }
wanted=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$id.desktop")
[ -n "$wanted" ] || fail "the desktop entry names no StartupWMClass"
[ "$wm_class" = "\"mekuri\", \"$wanted\"" ] || fail "WM_CLASS is $wm_class, the desktop entry wants $wanted"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y
xdotool mousemove $((X + 25)) $((Y + 8)) click 1    # ファイル(&F) → 閉じる(&C)
sleep 0.3
xdotool key c
status=0
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the installed program did not close from its File menu"
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the installed program ended with status $status"

# Installed: settings in the configuration folder, the diary in ~/Mekuri.
[ -s "$home/.config/Mekuri/Mekuri.ini" ] || fail "the installed program kept no settings in ~/.config/Mekuri"
[ -d "$home/Mekuri" ] || fail "the installed program did not create ~/Mekuri"
# Private by default, whatever the umask (022 above) would allow.
for f in Mekuri .config/Mekuri .config/Mekuri/Mekuri.ini; do
  mode=$(stat -c %a "$home/$f")
  want=700; [ -f "$home/$f" ] && want=600
  [ "$mode" = "$want" ] || fail "~/$f is $mode, not $want"
done
[ ! -e "$prefix/bin/Mekuri.ini" ] || fail "the installed program wrote into its program folder"
grep -q '^\[Form\]' "$home/.config/Mekuri/Mekuri.ini" || fail "the settings file lacks the window section"

# A diary folder on the command line wins over MEKURI_DIARY and the default.
home="$work/home2"
mkdir -p "$home"
HOME="$home" XDG_CONFIG_HOME="$home/.config" MEKURI_DIARY="$work/env_diary" QT_QPA_PLATFORM=offscreen \
  MEKURI_QUIT_AFTER_FIRST_PAINT=1 timeout 60 "$prefix/bin/mekuri" "$work/arg_diary" >/dev/null ||
  fail "the installed program did not run with a diary folder argument"
[ -d "$work/arg_diary" ] || fail "the diary folder named on the command line was not created"
[ ! -e "$work/env_diary" ] || fail "MEKURI_DIARY was preferred to the command line"
[ ! -e "$home/Mekuri" ] || fail "the default diary folder was made although one was given"

# A copy outside any installed layout (the program with its window library beside it)
# keeps its settings beside itself and its day files in the folder it was started in.
mkdir -p "$work/copy" "$work/cwd" "$work/home3"
cp "$tree/build/app/mekuri" "$tree/build/app/libmekuri-window.so" "$work/copy/"
(cd "$work/cwd" && env -u MEKURI_DIARY HOME="$work/home3" XDG_CONFIG_HOME="$work/home3/.config" \
   QT_QPA_PLATFORM=offscreen MEKURI_QUIT_AFTER_FIRST_PAINT=1 timeout 60 "$work/copy/mekuri" >/dev/null) ||
  fail "a copy of the program did not start and close cleanly"
[ -s "$work/copy/Mekuri.ini" ] || fail "a program run from its build folder kept no settings beside itself"
[ ! -e "$work/home3/.config/Mekuri/Mekuri.ini" ] || fail "a build copy wrote into the configuration folder"

# The Debian package: the same files under /usr, the run-time packages it needs, and
# nothing lintian objects to, not even the informational hardening tags.
deb=$(ls "$tree"/build/mekuri_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no package was written"
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/mekuri ./usr/lib/$multiarch/mekuri/libmekuri-window.so ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/icons/hicolor/48x48/apps/$id.png \
         ./usr/share/man/man1/mekuri.1.gz ./usr/share/doc/mekuri/copyright ./usr/share/doc/mekuri/changelog.gz; do
  grep -qF " $f" <<<"$contents" || fail "the package lacks $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6printsupport6 libnova fonts-ipafont-gothic; do
  grep -q "$p" <<<"$depends" || fail "the package does not depend on $p ($depends)"
done
lintian_out=$(lintian -I --fail-on error,warning "$deb" 2>&1) || { echo "$lintian_out" >&2; fail "lintian found errors or warnings"; }
if grep -E '^[EW]: |hardening-' <<<"$lintian_out"; then fail "lintian objects to the package"; fi
echo "install: all checks passed"
