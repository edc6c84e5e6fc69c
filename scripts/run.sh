#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kestrova.
#   scripts/run.sh [DATA_FOLDER]
# Without a folder it opens a demo folder, ~/kestrova-demo, made with 200
# sample reports the first time.
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
cmake --build build

data="${1:-$HOME/kestrova-demo}"
if [ ! -e "$data" ]; then
  mkdir -p "$data"
  build/src/cli/kestrova-cli --data-dir "$data" generate --count 200
fi
echo "Data folder: $data"
exec build/src/app/kestrova --data-dir "$data"
