#!/usr/bin/env bash
# Checks the 32-bit Windows files users get, which these machines cannot run:
#   tools/check-windows-binaries.sh [BUILD_DIR]   (default build-win32)
# Prints the export table of the stand-in ORVEX_DLL.dll and the DLLs each
# program imports, and fails when a file is not PE i386, when an export name
# is decorated (_NAME or NAME@n, which GetProcAddress with the plain name does
# not find) or missing, or when a program imports a DLL that is not Windows' own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build-win32}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
expected=(
  TQ_ORVEX_AUTO_INTO_DUMP_MODE TQ_ORVEX_DUMP_DB TQ_ORVEX_ERASE_All_DB TQ_ORVEX_EXIT_DUMP_MODE
  TQ_ORVEX_INTO_DUMP_MODE TQ_ORVEX_READ_DEVICE_INFORMATION TQ_ORVEX_READ_DLL_VERSION
  TQ_ORVEX_READ_GPS_UTC_TIME_DATE TQ_ORVEX_READ_MEMORY_USED_SIZE TQ_ORVEX_READ_SETTING_VALUE
  TQ_ORVEX_SETTING_DEVICE
)
# Windows' own DLLs (compared without regard to case); nothing else may be
# needed beside the programs.
system='^(advapi32|comctl32|comdlg32|gdi32|kernel32|msvcrt|ole32|oleacc|oleaut32|shell32|shlwapi|user32|uxtheme|version|winspool\.drv|ws2_32|psapi|rpcrt4|winmm|imm32|uuid|crypt32|bcrypt|ntdll|winhttp)(\.dll)?$'
faults=0
Fault() { echo "FAULT: $*"; faults=$((faults + 1)); }

CheckFormat() {
  local format
  format=$("$objdump" -f "$1" | awk '/file format/ {print $NF}')
  echo "$(basename "$1"): $format"
  [[ $format == pei-i386 ]] || Fault "$1 is $format, not PE i386"
}

Exports() {
  "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[/ && !/Ordinal/ {print $NF}'
}

Imports() {
  "$objdump" -p "$1" | awk '/DLL Name:/ {print $3}'
}

library=$dir/lib/ORVEX_DLL.dll
[[ -f $library ]] || library=$dir/bin/ORVEX_DLL.dll
# quillon-geotag.exe exists where Exiv2 was found for the build.
programs=("$dir/bin/Quillon.exe" "$dir/bin/quillon-convert.exe")
[[ -f $dir/bin/quillon-geotag.exe ]] && programs+=("$dir/bin/quillon-geotag.exe")
for file in "$library" "${programs[@]}"; do
  [[ -f $file ]] || { Fault "$file is missing"; continue; }
  CheckFormat "$file"
done
if [[ -f $library ]]; then
  echo "exports of $(basename "$library"):"
  mapfile -t names < <(Exports "$library")
  printf '  %s\n' "${names[@]}"
  for name in "${names[@]}"; do
    [[ $name == *@* || $name == _* ]] && Fault "decorated export $name"
  done
  for name in "${expected[@]}"; do
    printf '%s\n' "${names[@]}" | grep -qx "$name" || Fault "export $name is missing"
  done
  ((${#names[@]} == ${#expected[@]})) || Fault "${#names[@]} exports, expected ${#expected[@]}"
fi
for file in "$library" "${programs[@]}"; do
  [[ -f $file ]] || continue
  echo "imports of $(basename "$file"):"
  while read -r dll; do
    echo "  $dll"
    [[ ${dll,,} =~ $system ]] || Fault "$(basename "$file") imports $dll, which is not a Windows DLL"
  done < <(Imports "$file")
done
if ((faults)); then
  echo "$faults fault(s)"
  exit 1
fi
echo "all checks passed"
