#!/usr/bin/env bash
# The programs are built with Debian's hardening flags, as readelf sees them
# in the files: a position-independent executable, relocations read-only
# and bound at start (RELRO, BIND_NOW), the stack protector, fortified
# library calls, and the compiler's flags where debugging information
# records them.
#   hardening.sh PROGRAM...
set -euo pipefail
command -v readelf >/dev/null 2>&1 || { echo "readelf is not installed: skipped"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

for program in "$@"; do
  name=$(basename "$program")
  readelf -hW "$program" | grep -q 'Type: *DYN' || fail "$name is not a position-independent executable"
  readelf -lW "$program" | grep -q 'GNU_RELRO' || fail "$name has no RELRO segment"
  readelf -dW "$program" | grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' || fail "$name is not linked with -z now"
  symbols=$(readelf --dyn-syms -W "$program")
  grep -q '__stack_chk_fail' <<<"$symbols" || fail "$name calls no stack protector (__stack_chk_fail)"
  grep -E '__[a-z0-9_]+_chk\b' <<<"$symbols" | grep -vq '__stack_chk_fail' \
    || fail "$name calls no fortified function (_FORTIFY_SOURCE)"
  # Stack-clash and control-flow protection leave no mark of their own in
  # a linked program (the C library's start files drop the CET note); the
  # compiler's flags are in the debugging information of each C++ unit,
  # which a packed, stripped program no longer has.
  if readelf -SW "$program" | grep -q '\.debug_info'; then
    units=$(readelf --debug-dump=info --dwarf-depth=1 "$program" 2>/dev/null | grep 'DW_AT_producer.*GNU C++' || true)
    [ -n "$units" ] || fail "$name: no C++ unit in its debugging information"
    for flag in -fstack-protector-strong -fstack-clash-protection -fcf-protection; do
      ! grep -v -e "$flag" <<<"$units" | grep -q . || fail "$name has units built without $flag"
    done
    echo "$name: hardened ($(wc -l <<<"$units") C++ units checked)"
  else
    echo "$name: hardened (stripped: its compiler flags were checked in the build)"
  fi
done
