#!/usr/bin/env bash
# A screen reader's view of the program: starts it under Xvfb with its own
# session bus and the accessibility bus, and walks its windows over AT-SPI.
# Exits 77 (skipped) where Xvfb, D-Bus or AT-SPI is not installed.
#   accessibility_check.sh KESTROVA KESTROVA_CLI
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
python=/usr/bin/python3
for tool in Xvfb dbus-run-session; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed: skipped"; exit 77; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "at-spi2-core is not installed: skipped"; exit 77; }
"$python" -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is not installed: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/config" "$work/run" "$work/data"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
"$2" --data-dir "$work/data" generate --count 5 --users >/dev/null
exec dbus-run-session -- "$python" "$here/accessibility_check.py" "$1" "$work/data"
