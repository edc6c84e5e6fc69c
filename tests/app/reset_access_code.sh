#!/usr/bin/env bash
# kestrova --reset-access-code --data-dir DIR asks on the terminal and, only
# on YES, removes that folder's access code (and this account's old one).
set -euo pipefail
program="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/Kestrova" "$work/data" "$work/other"
ini="$XDG_CONFIG_HOME/Kestrova/Kestrova.ini"
printf '[Defaults]\nAccessCode=sha256$1$00$00\nNewUser=NoShow\n' > "$ini"
printf 'sha256$1$00$11\r\n' > "$work/data/Kestrova.Access"
printf 'sha256$1$00$22\r\n' > "$work/other/Kestrova.Access"
printf 'users' > "$work/data/User.List"

if echo no | "$program" --reset-access-code --data-dir "$work/data" > "$work/out1"; then
  echo "FAIL: answering no should exit with 1"; exit 1
fi
[ -f "$work/data/Kestrova.Access" ] || { echo "FAIL: no must keep the code"; exit 1; }
grep -q 'AccessCode=' "$ini" || { echo "FAIL: no must keep the old code"; exit 1; }

echo YES | "$program" --reset-access-code --data-dir "$work/data" > "$work/out2"
grep -q 'cleared' "$work/out2" || { echo "FAIL: no confirmation printed"; cat "$work/out2"; exit 1; }
grep -q "$work/data/Kestrova.Access" "$work/out2" || { echo "FAIL: the file is not named"; cat "$work/out2"; exit 1; }
[ ! -e "$work/data/Kestrova.Access" ] || { echo "FAIL: the folder's code is still there"; exit 1; }
[ -f "$work/other/Kestrova.Access" ] || { echo "FAIL: another folder's code was touched"; exit 1; }
[ "$(cat "$work/data/User.List")" = users ] || { echo "FAIL: other data files were touched"; exit 1; }
if grep -q 'AccessCode=' "$ini"; then echo "FAIL: the old code would come back"; exit 1; fi
grep -q 'NewUser=NoShow' "$ini" || { echo "FAIL: other settings were lost"; exit 1; }

echo YES | "$program" --data-dir "$work/data" --reset-access-code | grep -q 'No access code is set' \
  || { echo "FAIL: second reset"; exit 1; }

# Without --data-dir, started in a home folder without data, it resets the
# folder remembered in the setting DataFolder, as a start would use it.
mkdir -p "$work/home" "$work/chosen"
printf 'sha256$1$00$33\r\n' > "$work/chosen/Kestrova.Access"
sed -i "/^\[Defaults\]/a DataFolder=$work/chosen" "$ini"
(cd "$work/home" && echo YES | HOME="$work/home" "$program" --reset-access-code) > "$work/out3"
grep -q "$work/chosen/Kestrova.Access" "$work/out3" || { echo "FAIL: not the remembered folder"; cat "$work/out3"; exit 1; }
[ ! -e "$work/chosen/Kestrova.Access" ] || { echo "FAIL: the remembered folder's code is still there"; exit 1; }
echo "ok"
