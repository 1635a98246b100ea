#!/usr/bin/env bash
# Builds Quillon and starts it in a working folder of its own (run/, kept
# between runs) with the device library, a sample raw log and the logger
# emulator on a pseudo-terminal published as run/ports/COM3. The emulator
# stops when Quillon closes. Without an X display Quillon runs under Xvfb
# just long enough to save a screenshot of its Main Window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh"

build="$root/build"
run="$root/run"
mkdir -p "$run/Rawdata" "$run/ports"
cp -f "$build/lib/ORVEX_DLL.dll" "$run/ORVEX_DLL.dll"
if ! compgen -G "$run/Rawdata/*.txt" >/dev/null; then
  cp "$root/tests/data/sample_rawlog.txt" "$run/Rawdata/20080312064506_Rawdata_1234567.txt"
fi

# The logger: 2000 fixes of a synthetic track on COM3.
rm -f "$run/ports/COM3"
"$build/bin/orvex-emulator" --port-dir "$run/ports" --com 3 --fixes 2000 >"$run/emulator.log" 2>&1 &
emulator=$!
stop_emulator() {
  kill "$emulator" 2>/dev/null || true
  wait "$emulator" 2>/dev/null || true
}
trap stop_emulator EXIT
for _ in $(seq 50); do
  [[ -e "$run/ports/COM3" ]] && break
  kill -0 "$emulator" 2>/dev/null || { cat "$run/emulator.log" >&2; exit 1; }
  sleep 0.1
done
[[ -e "$run/ports/COM3" ]] || { echo "the logger emulator did not publish COM3" >&2; exit 1; }
echo "Logger emulator on $run/ports/COM3 (choose COM03, or use Auto Open Com Port)"

cd "$run"
if [[ -n "${DISPLAY:-}" ]]; then
  "$build/bin/quillon"
else
  shot="$run/quillon-main-window.png"
  rm -f "$shot" "$run/messages.txt"
  QUILLON_MESSAGE_LOG="$run/messages.txt" QUILLON_SCREENSHOT="$shot" QUILLON_EXIT_AFTER_SCREENSHOT=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/quillon"
  if [[ -s "$run/messages.txt" ]]; then
    echo "Messages shown at start-up:"
    sed 's/^/  /' "$run/messages.txt"
  fi
  cat <<MSG
No X display here, so Quillon ran under Xvfb only to take a picture of its
Main Window: $shot

To see and use the real window, run ./tools/run.sh in a desktop session
(DISPLAY set), or over SSH with X forwarding (ssh -X, with xauth installed on
this machine), or point DISPLAY at a VNC server (e.g. apt-get install
tigervnc-standalone-server; vncserver :1; DISPLAY=:1 ./tools/run.sh).
MSG
fi
