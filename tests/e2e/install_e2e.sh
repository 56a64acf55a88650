#!/usr/bin/env bash
# Installs the program into a temporary prefix and starts it the way the desktop menu
# does, then as a build copy, and checks where each keeps "Mekuri.ini" and its day files.
set -euo pipefail
build=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
id=jp.mekuri.Mekuri
for f in bin/mekuri share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
         share/icons/hicolor/256x256/apps/$id.png; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done
file_type=$(file -b "$prefix/share/icons/hicolor/48x48/apps/$id.png")
grep -q "PNG image data, 48 x 48" <<<"$file_type" || fail "the 48 px icon is not a 48x48 PNG ($file_type)"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "the desktop entry does not validate"
cmp -s "$prefix/share/applications/$id.desktop" "$source_dir/resources/desktop/$id.desktop" ||
  fail "the installed desktop entry differs from the source"

# Starts a program with its own home and configuration folder; it closes itself after the
# first paint, through the normal close, so it writes its settings.
run() {
  local home=$1; shift
  mkdir -p "$home"
  (cd "${RUN_DIR:-$home}" && env -u MEKURI_DIARY HOME="$home" XDG_CONFIG_HOME="$home/.config" \
     QT_QPA_PLATFORM=offscreen LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 \
     MEKURI_QUIT_AFTER_FIRST_PAINT=1 timeout 60 "$@") || fail "$* did not start and close cleanly"
}

# Installed: settings in the configuration folder, the diary in ~/Mekuri.
home="$work/home1"
run "$home" "$prefix/bin/mekuri"
[ -s "$home/.config/Mekuri/Mekuri.ini" ] || fail "the installed program kept no settings in ~/.config/Mekuri"
[ -d "$home/Mekuri" ] || fail "the installed program did not create ~/Mekuri"
[ ! -e "$prefix/bin/Mekuri.ini" ] || fail "the installed program wrote into its program folder"
grep -q '^\[Form\]' "$home/.config/Mekuri/Mekuri.ini" || fail "the settings file lacks the window section"

# A diary folder on the command line wins over MEKURI_DIARY and the default.
home="$work/home2"
mkdir -p "$home"
HOME="$home" XDG_CONFIG_HOME="$home/.config" MEKURI_DIARY="$work/env_diary" QT_QPA_PLATFORM=offscreen \
  MEKURI_QUIT_AFTER_FIRST_PAINT=1 timeout 60 "$prefix/bin/mekuri" "$work/arg_diary" ||
  fail "the installed program did not run with a diary folder argument"
[ -d "$work/arg_diary" ] || fail "the diary folder named on the command line was not created"
[ ! -e "$work/env_diary" ] || fail "MEKURI_DIARY was preferred to the command line"
[ ! -e "$home/Mekuri" ] || fail "the default diary folder was made although one was given"

# A copy outside any installed layout keeps its settings beside itself and its day files in
# the folder it was started in.
mkdir -p "$work/copy" "$work/cwd"
cp "$build/app/mekuri" "$work/copy/mekuri"
RUN_DIR="$work/cwd" run "$work/home3" "$work/copy/mekuri"
[ -s "$work/copy/Mekuri.ini" ] || fail "a program run from its build folder kept no settings beside itself"
[ ! -e "$work/home3/.config/Mekuri/Mekuri.ini" ] || fail "a build copy wrote into the configuration folder"

# The Debian package: the same files under /usr, and the run-time packages it needs.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null) ||
  fail "cpack could not build the package"
deb=$(ls "$work"/pkg/mekuri_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no package was written"
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/mekuri ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/icons/hicolor/48x48/apps/$id.png; do
  grep -qF " $f" <<<"$contents" || fail "the package lacks $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6printsupport6 fonts-ipafont-gothic; do
  grep -q "$p" <<<"$depends" || fail "the package does not depend on $p ($depends)"
done
echo "install: all checks passed"
