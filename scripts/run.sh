#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kestrova.
#   scripts/run.sh [DATA_FOLDER]
# Without a folder it opens a demo folder, ~/kestrova-demo, made the first
# time with 200 sample reports and four demo users, whose passwords it
# prints.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
Kestrova is a desktop program and no graphical display was found
(neither DISPLAY nor WAYLAND_DISPLAY is set).
  - On a desktop, run this command from a terminal inside your session.
  - On a server, give it a virtual display:
      sudo apt-get install -y xvfb && xvfb-run -a scripts/run.sh
MSG
  exit 1
fi

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what the user runs; the tests and benchmarks are scripts/test.sh's.
cmake --build build --target kestrova kestrova-cli

if [ $# -ge 1 ]; then
  data="$1"
  mkdir -p "$data"
else
  data="$HOME/kestrova-demo"
  if [ ! -e "$data/User.List" ]; then
    mkdir -p "$data"
    [ -e "$data/Kestrova.Data" ] || build/src/cli/kestrova-cli --data-dir "$data" generate --count 200
    build/src/cli/kestrova-cli --data-dir "$data" generate --users | tee "$data/demo-users.txt"
  else
    cat "$data/demo-users.txt" 2>/dev/null || true
  fi
fi
echo "Data folder: $data"
exec build/src/app/kestrova --data-dir "$data"
