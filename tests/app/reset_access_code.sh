#!/usr/bin/env bash
# kestrova --reset-access-code asks on the terminal and clears only on YES.
set -euo pipefail
program="$1"
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME="$config"
mkdir -p "$config/Kestrova"
ini="$config/Kestrova/Kestrova.ini"
printf '[Defaults]\nAccessCode=sha256$1$00$00\nNewUser=NoShow\n' > "$ini"

if echo no | "$program" --reset-access-code > "$config/out1"; then
  echo "FAIL: answering no should exit with 1"; exit 1
fi
grep -q 'AccessCode=' "$ini" || { echo "FAIL: no must keep the code"; exit 1; }

echo YES | "$program" --reset-access-code > "$config/out2"
grep -q 'cleared' "$config/out2" || { echo "FAIL: no confirmation printed"; cat "$config/out2"; exit 1; }
if grep -q 'AccessCode=' "$ini"; then echo "FAIL: the code is still there"; exit 1; fi
grep -q 'NewUser=NoShow' "$ini" || { echo "FAIL: other settings were lost"; exit 1; }

echo YES | "$program" --reset-access-code | grep -q 'No access code is set' || { echo "FAIL: second reset"; exit 1; }
echo "ok"
