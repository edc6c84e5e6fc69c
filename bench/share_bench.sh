#!/usr/bin/env bash
# The list and saves over a network share, side by side in one run: the
# folder is mounted over sshfs from a local sshd by scripts/share-test.sh.
#   bench/share_bench.sh [--count N] [--saves N] [--build DIR]
#                        [--cli NAME=PATH]... [--save NAME=PATH]...
# --cli: builds of kestrova-cli whose `list` is timed, a new process each
# time with the page cache dropped, against cat of the data file over the
# mount (bench/cli_bench.cpp), with the bytes and read calls of one list
# (strace -c); this build's own is always among them. --save: builds of
# kestrova_save_bench (bench/save_bench.cpp) timed in turns on one folder
# of the mount, with the system calls of one save of each kind. The
# program's list (bench/report_list_bench.cpp) runs over the mount and on
# the server's own disk. Needs root, as the rig does.
set -euo pipefail
cd "$(dirname "$0")/.."
count=20000
saves=20
build=build
clis=()
savers=()
while [ $# -gt 0 ]; do
  case "$1" in
    --count) count="$2"; shift 2 ;;
    --saves) saves="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --cli) clis+=("$2"); shift 2 ;;
    --save) savers+=("$2"); shift 2 ;;
    *) echo "usage: $0 [--count N] [--saves N] [--build DIR] [--cli NAME=PATH]... [--save NAME=PATH]..." >&2; exit 2 ;;
  esac
done
build="$(realpath "$build")"
clis+=("this=$build/src/cli/kestrova-cli")
savers+=("this=$build/bench/kestrova_save_bench")
for b in "$build/bench/kestrova_cli_bench" "$build/bench/kestrova_list_bench" "$build/src/cli/kestrova-cli"; do
  [ -x "$b" ] || { echo "share_bench: no $b: build the benches first" >&2; exit 2; }
done
command -v strace >/dev/null || { echo "share_bench: needs strace" >&2; exit 2; }

inner="$(mktemp /tmp/kestrova-share-bench.XXXXXX)"
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<EOF
set -euo pipefail
build="$build"; count=$count; saves=$saves
clis=(${clis[*]@Q}); savers=(${savers[*]@Q})
EOF
cat >>"$inner" <<'EOF'
uptime
"$build/src/cli/kestrova-cli" --data-dir "$SHARE_SERVER/list" generate --count "$count" >/dev/null
echo "Generated $count reports; the data file is left alone for a few seconds, as an index needs."
sleep 3
cli_args=()
k=0
for c in "${clis[@]}"; do k=$((k + 1)); cli_args+=(--cli "${c#*=}"); echo "cli $k: ${c%%=*} ${c#*=}"; done

echo; echo "== kestrova-cli list, a new process each time, page cache dropped, over the mount =="
"$build/bench/kestrova_cli_bench" --dir "$SHARE1/list" "${cli_args[@]}" --runs 5 --cold --only list
echo; echo "== the same, warm, on the server's own disk =="
"$build/bench/kestrova_cli_bench" --dir "$SHARE_SERVER/list" "${cli_args[@]}" --runs 5 --only list

echo; echo "== bytes and read calls of one list over the mount (strace -c; cold) =="
for c in "cat=/bin/cat" "${clis[@]}"; do
  sync; echo 3 >/proc/sys/vm/drop_caches
  if [ "${c%%=*}" = cat ]; then run=(/bin/cat "$SHARE1/list/Kestrova.Data"); else run=("${c#*=}" --data-dir "$SHARE1/list" list); fi
  strace -f -c -e trace=read,pread64,readv,preadv -o /tmp/kestrova-share-bench.strace "${run[@]}" >/dev/null
  calls=$(awk '$NF ~ /^(read|pread64|readv|preadv)$/ {s += $4} END {print s + 0}' /tmp/kestrova-share-bench.strace)
  sync; echo 3 >/proc/sys/vm/drop_caches
  strace -f -s 0 -e trace=read,pread64,readv,preadv -o /tmp/kestrova-share-bench.trace "${run[@]}" >/dev/null
  bytes=$(awk 'match($0, /= [0-9]+$/) {s += substr($0, RSTART + 2)} END {printf "%.1f", s / 1e6}' /tmp/kestrova-share-bench.trace)
  echo "  ${c%%=*}: $calls read calls, $bytes MB"
done

echo; echo "== the program's list over the mount (first build, kept rebuild) =="
"$build/bench/kestrova_list_bench" --dir "$SHARE1/list" --cold \
  --benchmark_filter='SequentialRead|FullList|RebuildUnchanged' 2>&1 | grep -v '^\*\*\*'
echo; echo "== the program's list on the server's own disk, warm =="
"$build/bench/kestrova_list_bench" --dir "$SHARE_SERVER/list" \
  --benchmark_filter='SequentialRead|FullList|RebuildUnchanged' 2>&1 | grep -v '^\*\*\*'

echo; echo "== saves over the mount: each build in turns on one folder =="
"$build/src/cli/kestrova-cli" --data-dir "$SHARE_SERVER/saves" generate --count 3000 >/dev/null
for round in 1 2 3; do
  for s in "${savers[@]}"; do
    echo "-- round $round: ${s%%=*}"
    "${s#*=}" --dir "$SHARE1/saves" --saves "$saves" | sed 1d
  done
done
echo; echo "== system calls of 5 saves of each kind (strace -c -f: calls, most of them round trips) =="
for s in "${savers[@]}"; do
  for kind in append edit; do
    strace -f -c -o /tmp/kestrova-share-bench.strace "${s#*=}" --dir "$SHARE1/saves" --saves 5 --kind "$kind" >/dev/null
    total=$(awk '$NF == "total" {print $4}' /tmp/kestrova-share-bench.strace)
    echo "  ${s%%=*} $kind: $total calls for 5 saves"
  done
done
rm -f /tmp/kestrova-share-bench.strace /tmp/kestrova-share-bench.trace
uptime
EOF
KESTROVA_SHARE_RUN="bash $inner" scripts/share-test.sh "$build"
