#!/usr/bin/env bash
# The stand-in ORVEX_DLL.dll of build-win32 under 32-bit Wine against the Linux
# logger emulator on a Wine COM port, compared with the Linux stand-in against
# the same emulator:
#   tools/wine-com-check.sh [BUILD-DIR [FIXES]]   (build-win32, 3000 fixes)
# BUILD-DIR may be build-win64 (run under wine64) where 32-bit Wine cannot run.
# Needs build/ (the Linux build, for the emulator and the Linux library) and
# build-win32/. The emulator's pty becomes COM3 of build-win32's Wine prefix
# ($WINEPREFIX/dosdevices/com3); the probe scans the ports, reads the logger's
# information, clock and memory, dumps the log, reads, writes and reads back
# the settings, erases the memory and leaves dump mode. Both runs must print
# the same and dump the same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=$(realpath "${1:-$root/build-win32}")
fixes=${2:-3000}
linux=$root/build
bits=32
[[ $(basename "$win") == build-win64 ]] && bits=64
prefix=$win/wine-prefix
work=$(mktemp -d /tmp/quillon-wine-com-XXXXXX)
emulatorPid=
Cleanup() {
  [[ -n $emulatorPid ]] && StopEmulator
  rm -f "$prefix/dosdevices/com3"
  rm -rf "$work"
}
trap Cleanup EXIT

# Starts the emulator with its port published in $work/ports and sets pty to
# its terminal (not in a command substitution, which would lose the pid).
StartEmulator() {
  mkdir -p "$work/ports"
  "$linux/bin/orvex-emulator" --port-dir "$work/ports" --com 3 --serial 4242 --fixes "$fixes" "$@" \
    >"$work/emulator.log" 2>&1 &
  emulatorPid=$!
  # A machine busy with builds can take seconds to start it.
  for _ in $(seq 600); do
    grep -q 'ready on' "$work/emulator.log" && break
    kill -0 "$emulatorPid" 2>/dev/null || break
    sleep 0.1
  done
  pty=$(readlink "$work/ports/COM3") || {
    echo "FAULT: the logger emulator did not publish COM3 ($*); its log:" >&2
    cat "$work/emulator.log" >&2
    exit 1
  }
}

StopEmulator() {
  kill "$emulatorPid" 2>/dev/null || true
  wait "$emulatorPid" 2>/dev/null || true
  emulatorPid=
}

# Linux: the stand-in finds COM3 through the ports folder of its working directory.
mkdir -p "$work/linux/voice file"
StartEmulator
ln -s "$work/ports" "$work/linux/ports"
cp "$linux/lib/ORVEX_DLL.dll" "$work/linux/"
(cd "$work/linux" && "$linux/bin/orvex_com_probe" Rawdata/dump.txt) >"$work/linux.out"
StopEmulator

# Wine: the same emulator (restarted, with the same memory) on COM3 of the prefix.
mkdir -p "$work/wine/voice file"
"$root/tools/wine-run.sh" --bits "$bits" --prefix "$prefix" --init
StartEmulator
ln -sfn "$pty" "$prefix/dosdevices/com3"
cp "$win/bin/ORVEX_DLL.dll" "$work/wine/"
start=$(date +%s)
(cd "$work/wine" && timeout 300 "$root/tools/wine-run.sh" --bits "$bits" --prefix "$prefix" "$win/bin/orvex_com_probe.exe" \
  'Rawdata\dump.txt') | tr -d '\r' >"$work/wine.out"
echo "wine run: $(($(date +%s) - start)) s"
StopEmulator

echo "--- Linux"; cat "$work/linux.out"
echo "--- Wine"; cat "$work/wine.out"
status=0
diff "$work/linux.out" "$work/wine.out" || { echo "FAULT: the two sessions printed differently"; status=1; }
if cmp "$work/linux/Rawdata/dump.txt" "$work/wine/Rawdata/dump.txt"; then
  echo "raw logs identical: $(wc -c <"$work/wine/Rawdata/dump.txt") bytes, $(grep -c GPGGA "$work/wine/Rawdata/dump.txt") GGA sentences"
else
  echo "FAULT: the raw logs differ"
  status=1
fi
# The session goes on after the dump: settings read, written and read back,
# erase, memory empty.
for expected in 'read settings: 22,' 'write settings: 14' 'read back: 22,.*, as written' 'erase: 13' \
    'memory after erase: 45, 0 bytes used'; do
  grep -q "^$expected" "$work/wine.out" || { echo "FAULT: no '$expected' under Wine"; status=1; }
done
leftovers=$(find "$work/wine/Rawdata" -name '.*' | wc -l)
((leftovers == 0)) || { echo "FAULT: $leftovers temporary file(s) left in Rawdata"; status=1; }

# The window itself on the same COM port, as a user works: Auto Open Com Port,
# Dump Logger data, All log data, Build Output File. Its CSV file must be the
# Linux build's conversion of the raw log it downloaded.
mkdir -p "$work/window"
StartEmulator
ln -sfn "$pty" "$prefix/dosdevices/com3"
start=$(date +%s)
(cd "$win" && QUILLON_E2E_OUTPUT="$work/window" timeout 300 xvfb-run -a -s "-screen 0 1600x1200x24" \
  "$root/tools/wine-run.sh" --bits "$bits" --prefix "$prefix" "$win/bin/ui_tests.exe" \
  --gtest_filter=ComPortSessionTest.*) | tr -d '\r' >"$work/window.out" || true
echo "--- the window under Wine ($(($(date +%s) - start)) s)"
grep -E '^\[ *(OK|FAILED|SKIPPED) *\]|Failure|Expected|Which is' "$work/window.out" || cat "$work/window.out"
StopEmulator
if grep -q '^\[       OK \] ComPortSessionTest' "$work/window.out" && [[ -f $work/window/output.csv ]]; then
  mkdir -p "$work/convert/Rawdata"
  cp "$work/window/rawlog.txt" "$work/convert/Rawdata/window_Rawdata_4242.txt"
  (cd "$work/convert" && "$linux/bin/quillon-convert" "Rawdata/window_Rawdata_4242.txt" --format csv --all \
    -o linux.csv >/dev/null)
  if cmp "$work/window/output.csv" "$work/convert/linux.csv"; then
    echo "the window's CSV equals the Linux conversion: $(wc -l <"$work/convert/linux.csv") lines"
  else
    echo "FAULT: the window's CSV differs from the Linux conversion"
    status=1
  fi
else
  echo "FAULT: the window's session under Wine did not pass"
  status=1
fi

# A logger pulled out in the middle of the dump: the described code, within
# the time limit, and neither the log nor a temporary file is left.
mkdir -p "$work/unplugged"
StartEmulator --unplug-after 40000
ln -sfn "$pty" "$prefix/dosdevices/com3"
cp "$win/bin/ORVEX_DLL.dll" "$work/unplugged/"
start=$(date +%s)
(cd "$work/unplugged" && timeout 120 "$root/tools/wine-run.sh" --bits "$bits" --prefix "$prefix" "$win/bin/orvex_com_probe.exe" \
  'Rawdata\dump.txt') | tr -d '\r' >"$work/unplugged.out" || true
echo "--- Wine, unplugged after 40000 bytes ($(($(date +%s) - start)) s)"; cat "$work/unplugged.out"
StopEmulator
grep -qx 'dump: 12' "$work/unplugged.out" || { echo "FAULT: the unplugged dump did not return 12"; status=1; }
left=$(find "$work/unplugged/Rawdata" -type f 2>/dev/null | wc -l)
((left == 0)) || { echo "FAULT: the unplugged dump left $left file(s)"; status=1; }
((status == 0)) && echo "all checks passed"
exit "$status"
