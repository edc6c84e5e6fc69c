#!/usr/bin/env bash
# The programs are built with Debian's hardening flags, as readelf sees them
# in the files: a position-independent executable, relocations read-only
# and bound at start (RELRO, BIND_NOW), the stack protector, fortified
# library calls, and control-flow protection marked in the ELF notes.
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
  readelf -nW "$program" | grep -q 'x86 feature:.*IBT' || [ "$(uname -m)" != x86_64 ] \
    || fail "$name is not marked for control-flow protection (-fcf-protection)"
  echo "$name: hardened"
done
