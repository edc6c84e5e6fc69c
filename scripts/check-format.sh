#!/usr/bin/env bash
# Fails when a C++ file of the tree is not as clang-format-14 would write it;
# with --fix, formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format-14 -i "${files[@]}"
  exit 0
fi
if ! clang-format-14 --dry-run --Werror "${files[@]}" 2>/tmp/kestrova-format.$$; then
  grep -E '^[^ ].*: (error|warning):' /tmp/kestrova-format.$$ | cut -d: -f1 | sort -u | sed 's/^/not formatted: /' >&2
  rm -f /tmp/kestrova-format.$$
  echo "Run scripts/check-format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/kestrova-format.$$
