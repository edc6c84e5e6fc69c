#!/usr/bin/env bash
# Fuzzes the parsers with clang's libFuzzer, each target for a while.
#   scripts/fuzz.sh [SECONDS_EACH]     (default 60)
# Builds into build-fuzz with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on); new inputs found go to
# build-fuzz/tests/fuzz/found/<target>, never into the committed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed (apt-get install clang)" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTROVA_WERROR=ON -DKESTROVA_BUILD_BENCH=OFF -DKESTROVA_FUZZ_SECONDS="$seconds" >/dev/null
targets=(fuzz_record fuzz_user fuzz_date fuzz_currency fuzz_text)
cmake --build build-fuzz -j2 --target "${targets[@]}"
status=0
ctest --test-dir build-fuzz -R '^fuzz\.' --output-on-failure -V >build-fuzz/fuzz.log 2>&1 || status=$?
grep -E 'Done [0-9]+ runs|Test +#|tests passed|ERROR|broken' build-fuzz/fuzz.log || true
exit $status
