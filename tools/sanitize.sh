#!/usr/bin/env bash
# Builds the tests that need no window toolkit with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ and runs them. Any report
# fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
dir="$root/build-sanitize"
if [[ ! -f "$dir/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLON_SANITIZE=ON -DQUILLON_WERROR=ON -DQUILLON_GUI=OFF -DQUILLON_BENCH=OFF
fi
cmake --build "$dir" -j2
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$dir"
ctest --output-on-failure -j2 --timeout 300 "$@"
