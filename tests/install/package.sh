#!/usr/bin/env bash
# Packs the build as the README says (cpack -G DEB, into a folder of its
# own) and checks the package as Debian users meet it: its dependencies,
# the files a packager expects (changelogs, copyright, icons), hardened
# programs, and lintian without an error or warning. Exits 77 (skipped)
# where dpkg-deb or cpack's helpers are missing; lintian is skipped alone
# where it is missing.
#   package.sh CPACK BUILD_DIR HARDENING_CHECK|none   (none: a build without hardening)
set -euo pipefail
cpack="$1" build="$2" hardening="$3"
for tool in dpkg-deb dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed: skipped"; exit 77; }
done
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && "$cpack" -G DEB -B "$work" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/kestrova_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for package in fonts-dejavu-core fonts-liberation xdg-utils; do
  grep -Eq "(^|, )$package(,|$| )" <<<"$depends" || fail "the package does not depend on $package: $depends"
done

dpkg-deb -x "$deb" "$work/root"
doc="$work/root/usr/share/doc/kestrova"
for file in changelog.gz changelog.Debian.gz copyright; do
  [ -s "$doc/$file" ] || fail "no /usr/share/doc/kestrova/$file"
done
version=$(dpkg-deb -f "$deb" Version)
gzip -dc "$doc/changelog.Debian.gz" | head -n 1 | grep -q "^kestrova ($version) " \
  || fail "changelog.Debian.gz does not begin with version $version"
gzip -dc "$doc/changelog.gz" | grep -q "^## $version (" || fail "changelog.gz has no entry for $version"
grep -q '^Copyright: [0-9]\{4\}' "$doc/copyright" || fail "the copyright file gives no year"
for size in 16 32 48 64 128 256; do
  icon="$work/root/usr/share/icons/hicolor/${size}x${size}/apps/org.kestrova.Kestrova.png"
  file -b "$icon" | grep -q "PNG image data, $size x $size" || fail "no ${size}x${size} PNG icon: $(file -b "$icon")"
done
grep -q '^StartupWMClass=Kestrova$' "$work/root/usr/share/applications/org.kestrova.Kestrova.desktop" \
  || fail "the menu entry has no StartupWMClass"
if [ "$hardening" != none ]; then
  "$hardening" "$work/root/usr/bin/kestrova" "$work/root/usr/bin/kestrova-cli" || fail "the packed programs"
fi

if command -v lintian >/dev/null 2>&1; then
  # Informational tags left, and why:
  #   binary-has-unneeded-section .comment: cpack strips with a plain strip;
  #   extra-license-file: LICENSE stays beside copyright for installations
  #     without /usr/share/common-licenses;
  #   package-contains-documentation-outside-usr-share-doc: the manual lies
  #     where Help finds it from the program's folder (share/kestrova);
  #   spelling-error-in-binary "throug": the compiler's merged strings.
  lintian --fail-on error,warning --tag-display-limit 0 "$deb" | tee "$work/lintian.log" \
    || fail "lintian: $(grep -E '^[EW]:' "$work/lintian.log")"
  ! grep -Eq '^[EW]:' "$work/lintian.log" || fail "lintian: $(grep -E '^[EW]:' "$work/lintian.log")"
else
  echo "lintian is not installed: its check is skipped"
fi
echo ok
