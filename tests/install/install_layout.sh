#!/usr/bin/env bash
# Installs the build into a fresh prefix (with a space in its name) and
# checks that each installed file is where the others look for it: the
# .desktop file's program and icon, the AppStream data's desktop file and
# programs, the man pages, the licence, and the manual where the installed
# program looks for it, also after the whole prefix has been moved.
set -euo pipefail
cmake="$1" build="$2" bindir="$3" datadir="$4" mandir="$5" sharedir="$6" appid="$7" manual_built="$8"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/a prefix"
fail() { echo "FAIL: $*"; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "install"; }
bin="$prefix/$bindir"
share="$prefix/$datadir"
for program in kestrova kestrova-cli; do
  [ -x "$bin/$program" ] || fail "$bin/$program is not installed"
done

desktop="$share/applications/$appid.desktop"
[ -f "$desktop" ] || fail "no $desktop"
for key in Exec TryExec; do
  program=$(sed -n "s/^$key=\([^ ]*\).*/\1/p" "$desktop")
  [ -n "$program" ] && [ -x "$bin/$program" ] || fail "$key=$program is not a program in $bin"
done
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ "$icon" = "$appid" ] || fail "Icon=$icon, not the application id"
grep -q '<svg' "$share/icons/hicolor/scalable/apps/$icon.svg" || fail "no scalable icon $icon.svg"

metainfo="$share/metainfo/$appid.metainfo.xml"
grep -q "<id>$appid</id>" "$metainfo" || fail "$metainfo does not carry the id $appid"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -f "$share/applications/$launchable" ] || fail "the AppStream data launches $launchable, which is not installed"
binaries=$(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo")
[ -n "$binaries" ] || fail "the AppStream data names no program"
for program in $binaries; do
  [ -x "$bin/$program" ] || fail "the AppStream data provides $program, which is not installed"
done

# One version everywhere.
version=$("$bin/kestrova" --version | sed -n 's/^Kestrova //p')
[ -n "$version" ] || fail "kestrova --version"
[ "$("$bin/kestrova-cli" --version)" = "kestrova-cli $version" ] || fail "kestrova-cli --version differs"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream release is not $version"
for page in kestrova kestrova-cli; do
  gzip -dc "$prefix/$mandir/man1/$page.1.gz" | grep -q "^\.TH .* \"Kestrova $version\"" \
    || fail "man page $page.1.gz missing or not of version $version"
done
grep -q "Apache License" "$share/doc/kestrova/LICENSE" || fail "no LICENSE"

manual="$prefix/$sharedir/Kestrova.PDF"
if [ "$manual_built" = 1 ]; then
  [ -s "$manual" ] || fail "the manual was built but is not installed at $manual"
else
  "$bin/kestrova" --help | grep -q '^The manual (Kestrova.PDF) was found neither' \
    || fail "kestrova --help claims a manual that was not installed"
  echo "No manual was built: the installed program's lookup is checked with a stand-in PDF."
  mkdir -p "$(dirname "$manual")"
  printf '%%PDF-1.4\n' > "$manual"
fi
expected="The manual: $(realpath -m "$manual")"
[ "$("$bin/kestrova" --help | tail -n 1)" = "$expected" ] \
  || fail "the installed program does not find its manual: $("$bin/kestrova" --help | tail -n 1)"

# The lookup follows the program, not the prefix it was installed for.
mv "$prefix" "$work/moved"
moved="The manual: $(realpath -m "$work/moved/$sharedir/Kestrova.PDF")"
[ "$("$work/moved/$bindir/kestrova" --help | tail -n 1)" = "$moved" ] || fail "a moved installation loses its manual"
echo ok
