#!/usr/bin/env bash
# Builds Quillon and runs the whole test suite. GUI tests need an X display;
# without one the suite runs under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh"
cd "$root/build"
if [[ -n "${DISPLAY:-}" ]]; then
  ctest --output-on-failure -j2 --timeout 180 "$@"
else
  xvfb-run -a -s "-screen 0 1600x1200x24" ctest --output-on-failure -j2 --timeout 180 "$@"
fi
