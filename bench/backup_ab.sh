#!/bin/sh
# Two builds of the backup bench side by side on one data folder: each turn
# times `cp` + `sync` of the files, then a backup by A and by B (their order
# swapped every turn), then the same for a restore, and prints the ratios to
# cp + sync with the machine's load.
#
#   bench/backup_ab.sh BENCH_A BENCH_B DATA_FOLDER [TURNS]
#
# BENCH_A and BENCH_B are kestrova_backup_bench programs (say, of two
# branches); DATA_FOLDER holds a data folder (kestrova_backup_bench --dir
# FOLDER --repeat 1 makes one): its files keep their contents (a restore puts the same bytes back).
set -eu
a=$1
b=$2
data=$3
turns=${4:-3}
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-ab-XXXXXX")
trap 'rm -rf "$work"' EXIT
files="Kestrova.Data User.List SignInOut.Log UserList.Log DataRecords.Log Search.Log User.Log Kestrova.Access"

now() { date +%s.%N; }
took() { echo "$2 - $1" | bc; }
ratio() { echo "scale=2; $1 / $2" | bc; }

cp_sync() { # from to
  rm -rf "$2" && mkdir -p "$2" && sync
  start=$(now)
  for f in $files; do [ -f "$1/$f" ] && cp "$1/$f" "$2/"; done
  sync
  took "$start" "$(now)"
}

run() { # bench what data other -> seconds
  rm -rf "$4" && mkdir -p "$4" && sync
  [ "$2" = restore ] && for f in $files; do [ -f "$work/source/$f" ] && cp "$work/source/$f" "$4/"; done && sync
  start=$(now)
  "$1" --child "$2" "$3" "$4" >"$work/out" || { echo "$1 $2 failed: $(cat "$work/out")" >&2; }
  end=$(now)
  rm -f "$3"/*.before-restore-*
  took "$start" "$end"
}

mkdir -p "$work/source"
for f in $files; do [ -f "$data/$f" ] && cp "$data/$f" "$work/source/"; done
echo "load at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
for turn in $(seq 1 "$turns"); do
  first=$a second=$b
  [ $((turn % 2)) -eq 0 ] && first=$b second=$a
  for what in backup restore; do
    base=$(cp_sync "$data" "$work/cp")
    t1=$(run "$first" "$what" "$data" "$work/other")
    t2=$(run "$second" "$what" "$data" "$work/other")
    if [ "$first" = "$a" ]; then ta=$t1 tb=$t2; else ta=$t2 tb=$t1; fi
    echo "turn $turn $what: cp+sync ${base}s  A ${ta}s (x$(ratio "$ta" "$base"))  B ${tb}s (x$(ratio "$tb" "$base"))  load $(cut -d' ' -f1 /proc/loadavg)"
  done
done
echo "load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
