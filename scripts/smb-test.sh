#!/usr/bin/env bash
# Runs the lock protocol, the share tests and the soak on an SMB share, the
# kind of file server agencies use: a Samba server started here on the
# loopback address only, with its own configuration and state in a
# temporary folder, and its share mounted twice with smbnetfs (one mount per
# workstation, each with its own HOME and ~/.smb configuration).
#   scripts/smb-test.sh [BUILD_DIR]          (default: build)
# Needs root (to start smbd, add a user and mount); installs samba,
# smbnetfs and smbclient when they are missing (Debian). Exits 77 with a
# message when it cannot run. Everything is removed afterwards.
#   KESTROVA_SMB_RUN="command"   runs the command instead of the tests, with
#                                the two mounts in $SMB1 and $SMB2 (benches).
#   KESTROVA_SOAK_SECONDS, _APPENDERS, _DELETERS, _KILLS size the soak.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
tests="$build/tests/core/kestrova_core_tests"

skip() { echo "smb-test: $*; skipped." >&2; exit 77; }
[ -x "$tests" ] || skip "no $tests: build first"
[ "$(id -u)" -eq 0 ] || skip "starting smbd, adding a user and mounting need root"
[ -e /dev/fuse ] || skip "no /dev/fuse"
if ! command -v smbd >/dev/null || ! command -v smbnetfs >/dev/null || ! command -v smbclient >/dev/null; then
  command -v apt-get >/dev/null || skip "samba, smbnetfs or smbclient missing and no apt-get"
  want=(samba smbnetfs smbclient)
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${want[@]}" >/dev/null 2>&1 ||
    { apt-get update -q >/dev/null 2>&1 &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${want[@]}" >/dev/null 2>&1; } ||
    skip "cannot install samba, smbnetfs and smbclient"
fi
smbd_bin="$(command -v smbd || echo /usr/sbin/smbd)"
[ -x "$smbd_bin" ] || skip "no smbd"
# Port 445 on the loopback address, where the client looks by default.
if (exec 3<>/dev/tcp/127.0.0.1/445) 2>/dev/null; then skip "something already listens on 127.0.0.1:445"; fi

work="$(mktemp -d /tmp/kestrova-smb.XXXXXX)"
chmod 755 "$work"
user="kestrova-smb-$$"
password="Kestrova-$RANDOM$RANDOM"
smbd_pid=""
user_added=""
cleanup() {
  for m in "$work/ws1" "$work/ws2"; do
    mountpoint -q "$m" 2>/dev/null && { fusermount3 -u "$m" 2>/dev/null || fusermount -u "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; }
  done
  for p in "${mount_pids[@]:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null || true; done
  if [ -n "$smbd_pid" ]; then
    kill "$smbd_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$smbd_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$smbd_pid" 2>/dev/null || true
  fi
  [ -n "$user_added" ] && userdel "$user" >/dev/null 2>&1 || true
  rm -rf "$work"
}
mount_pids=()
trap cleanup EXIT

mkdir -p "$work"/{share,ws1,ws2,run,lock,state,cache,private,log,ncalrpc}
useradd --system --no-create-home --home-dir "$work/share" --shell /usr/sbin/nologin "$user"
user_added=1
chown "$user" "$work/share"
chmod 2775 "$work/share"
cat > "$work/smb.conf" <<CONF
[global]
  interfaces = lo
  bind interfaces only = yes
  smb ports = 445
  disable netbios = yes
  server min protocol = SMB3
  pid directory = $work/run
  lock directory = $work/lock
  state directory = $work/state
  cache directory = $work/cache
  private dir = $work/private
  ncalrpc dir = $work/ncalrpc
  passdb backend = tdbsam:$work/private/passdb.tdb
  log file = $work/log/smbd.log
  log level = 1
  map to guest = never
  load printers = no
  printing = bsd
  printcap name = /dev/null
  disable spoolss = yes
  server role = standalone server
[kestrova]
  path = $work/share
  read only = no
  valid users = $user
  create mask = 0664
  directory mask = 2775
CONF
printf "%s\n%s\n" "$password" "$password" | smbpasswd -c "$work/smb.conf" -s -a "$user" >/dev/null 2>&1
# In a session of its own: smbd ends its whole process group when it stops.
setsid "$smbd_bin" --foreground --no-process-group -s "$work/smb.conf" </dev/null >"$work/log/smbd.out" 2>&1 &
smbd_pid=$!
for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/445) 2>/dev/null && break; sleep 0.1; done
(exec 3<>/dev/tcp/127.0.0.1/445) 2>/dev/null || { cat "$work/log/smbd.out" >&2; skip "smbd did not start"; }
smbclient -s "$work/smb.conf" "//127.0.0.1/kestrova" -U "$user%$password" -c 'ls' >/dev/null ||
  skip "the share does not answer smbclient"

for m in ws1 ws2; do
  home="$work/home-$m"
  mkdir -p "$home/.smb"
  cat > "$home/.smb/smb.conf" <<CONF
[global]
  client min protocol = SMB3
  client max protocol = SMB3
CONF
  cat > "$home/.smb/smbnetfs.conf" <<CONF
smb_query_browsers "false"
show_hidden_hosts "true"
include "smbnetfs.auth"
include "smbnetfs.host"
CONF
  printf 'auth "127.0.0.1" "%s" "%s"\n' "$user" "$password" > "$home/.smb/smbnetfs.auth"
  printf 'host 127.0.0.1 visible=true\n' > "$home/.smb/smbnetfs.host"
  chmod 600 "$home/.smb/"*
  HOME="$home" smbnetfs "$work/$m" -f >"$work/log/smbnetfs-$m.log" 2>&1 &
  mount_pids+=($!)
done
for m in ws1 ws2; do
  for _ in $(seq 100); do [ -d "$work/$m/127.0.0.1/kestrova" ] && break; sleep 0.2; done
  [ -d "$work/$m/127.0.0.1/kestrova" ] || { cat "$work/log/smbnetfs-$m.log" >&2; skip "smbnetfs did not mount the share"; }
done
one="$work/ws1/127.0.0.1/kestrova"
two="$work/ws2/127.0.0.1/kestrova"
echo "smb-test: //127.0.0.1/kestrova ($("$smbd_bin" --version)) mounted twice with smbnetfs $(dpkg-query -W -f='${Version}' smbnetfs 2>/dev/null)"

if [ -n "${KESTROVA_SMB_RUN:-}" ]; then
  SMB1="$one" SMB2="$two" bash -c "$KESTROVA_SMB_RUN"
  exit $?
fi
status=0
KESTROVA_SHARE_SMB=1 KESTROVA_SHARE_DIRS="$one:$two" timeout 900 "$tests" --gtest_filter='ShareTest.*' || status=1
KESTROVA_SHARE_SMB=1 KESTROVA_SOAK_FOLDER="$one:$two" KESTROVA_SOAK_SKEW="${KESTROVA_SOAK_SKEW:-0}" \
  KESTROVA_SOAK_KILLS="${KESTROVA_SOAK_KILLS:-30}" timeout 1800 "$tests" --gtest_filter='FolderSoak.*' || status=1
exit $status
