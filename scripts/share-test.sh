#!/usr/bin/env bash
# Runs the lock protocol and the soak test on a real network share: one
# folder, mounted twice over sshfs from an sshd started here on the loopback
# address, stands for two workstations.
#   scripts/share-test.sh [BUILD_DIR]        (default: build)
# Needs root (to start sshd and mount); installs sshfs and openssh-server
# when they are missing (Debian). Exits 77 with a message when it cannot run.
# KESTROVA_SOAK_SECONDS and friends size the soak (see
# tests/core/folder_soak_test.cpp). KESTROVA_SHARE_RUN="command" runs the
# command instead of the tests, with the two mounts in $SHARE1 and $SHARE2
# and the server's own folder in $SHARE_SERVER (benches, experiments).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
tests="$build/tests/core/kestrova_core_tests"

skip() { echo "share-test: $*; skipped." >&2; exit 77; }
[ -x "$tests" ] || skip "no $tests: build first"
[ "$(id -u)" -eq 0 ] || skip "starting sshd and mounting need root"
[ -e /dev/fuse ] || skip "no /dev/fuse"
if ! command -v sshfs >/dev/null || [ ! -x /usr/sbin/sshd ]; then
  command -v apt-get >/dev/null || skip "sshfs or sshd missing and no apt-get"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends sshfs openssh-server >/dev/null ||
    { apt-get update -q >/dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends sshfs openssh-server >/dev/null; } ||
    skip "cannot install sshfs and openssh-server"
fi

work="$(mktemp -d /tmp/kestrova-share.XXXXXX)"
sshd_pid=""
cleanup() {
  for m in "$work/ws1" "$work/ws2"; do
    mountpoint -q "$m" 2>/dev/null && { fusermount3 -u "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; }
  done
  [ -n "$sshd_pid" ] && kill "$sshd_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/server" "$work/ws1" "$work/ws2" "$work/ssh" /run/sshd
chmod 700 "$work/ssh"
ssh-keygen -q -t ed25519 -N '' -f "$work/ssh/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$work/ssh/client_key"
cp "$work/ssh/client_key.pub" "$work/ssh/authorized_keys"
port=$(( 20000 + RANDOM % 20000 ))
cat > "$work/ssh/sshd_config" <<EOF
ListenAddress 127.0.0.1
Port $port
HostKey $work/ssh/host_key
AuthorizedKeysFile $work/ssh/authorized_keys
PidFile $work/ssh/sshd.pid
PermitRootLogin prohibit-password
PasswordAuthentication no
StrictModes no
UsePAM no
Subsystem sftp internal-sftp
EOF
/usr/sbin/sshd -f "$work/ssh/sshd_config" -E "$work/ssh/sshd.log"
for _ in $(seq 50); do [ -s "$work/ssh/sshd.pid" ] && break; sleep 0.1; done
sshd_pid="$(cat "$work/ssh/sshd.pid")"

# Default sshfs options on purpose: its caches of file status (several
# seconds) are what a workstation on such a share lives with.
for m in ws1 ws2; do
  sshfs "root@127.0.0.1:$work/server" "$work/$m" -p "$port" \
    -o IdentityFile="$work/ssh/client_key" -o StrictHostKeyChecking=no \
    -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR
done
echo "share-test: $work/server mounted twice over sshfs ($(sshfs --version 2>&1 | grep -i 'sshfs version'))"

if [ -n "${KESTROVA_SHARE_RUN:-}" ]; then
  SHARE1="$work/ws1" SHARE2="$work/ws2" SHARE_SERVER="$work/server" bash -c "$KESTROVA_SHARE_RUN"
  exit $?
fi
status=0
KESTROVA_SHARE_DIRS="$work/ws1:$work/ws2" "$tests" --gtest_filter='ShareTest.*' || status=1
KESTROVA_SOAK_FOLDER="$work/ws1:$work/ws2" KESTROVA_SOAK_KILLS="${KESTROVA_SOAK_KILLS:-20}" \
  "$tests" --gtest_filter='FolderSoak.*' || status=1
exit $status
