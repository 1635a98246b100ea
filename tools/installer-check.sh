#!/usr/bin/env bash
# Makes the NSIS installer of a Windows build and runs it the way a person
# does, silently, in a fresh Wine prefix:
#   installer-check.sh BUILD-DIR 32|64
# then checks what it installed (the programs, the notes, the stand-in library
# in its own folder, a Start menu entry that starts Quillon.exe in the
# writable "Quillon" folder of the documents), starts the installed
# quillon-convert.exe and Quillon.exe there (its screenshot saved as
# BUILD-DIR/installed-quillon.png), uninstalls and checks that the program and its entries
# are gone while the working folder and the user's files in it stay.
# A 64-bit build gets an installer of the 64-bit NSIS stub, so that the same
# installer script runs where 32-bit programs cannot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
(($# == 2)) || { echo "usage: $0 BUILD-DIR 32|64" >&2; exit 2; }
dir=$(realpath "$1")
bits=$2
command -v makensis >/dev/null || { echo "installer check skipped: no makensis"; exit 0; }

fail() { echo "installer check FAILED: $*" >&2; exit 1; }
run() { xvfb-run -a "$root/tools/wine-run.sh" --bits "$bits" --prefix "$prefix" "$@"; }

(cd "$dir" && cpack -C Release -G NSIS >/dev/null) || fail "cpack could not make the installer"
nsi=$(ls "$dir"/_CPack_Packages/*/NSIS/project.nsi)
installer=$(sed -n 's/^ *OutFile "\(.*\)"/\1/p' "$nsi")
if ((bits == 64)); then
  makensis -XTarget\ amd64-unicode "$nsi" >"$dir/makensis64.log" 2>&1 ||
    { tail -n 20 "$dir/makensis64.log"; fail "makensis could not make the 64-bit installer"; }
fi
[[ -f $installer ]] || fail "no installer at $installer"

prefix=$dir/installer-prefix
rm -rf "$prefix"
run "$installer" /S || fail "the installer ended with status $?"
drive=$prefix/drive_c
program=$(dirname "$(find "$drive" -path '*/Program Files*/Quillon/Quillon.exe' | head -n1)")
[[ -d $program ]] || fail "no Quillon.exe under Program Files"
for f in Quillon.exe quillon-convert.exe README-Windows.txt Uninstall.exe \
    stand-in-library/ORVEX_DLL.dll stand-in-library/STAND-IN-LIBRARY.txt; do
  [[ -f $program/$f ]] || fail "the installer did not install $f"
done
menu=$drive/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Quillon
link=$menu/Quillon.lnk
[[ -f $link ]] || fail "no Start menu entry $link"
[[ -f $menu/Uninstall.lnk ]] || fail "no Start menu entry for the uninstaller"
strings -a "$link" | grep -qx 'C:\\Program Files.*\\Quillon\\Quillon.exe' ||
  fail "the Start menu entry does not start Quillon.exe"
strings -a -el "$link" | grep -q 'C:\\users\\Public\\Documents\\Quillon' ||
  fail "the Start menu entry does not start in the documents' Quillon folder"
work=$drive/users/Public/Documents/Quillon
[[ -d $work ]] || fail "no working folder $work"
run "$program/quillon-convert.exe" --help | grep -q 'quillon-convert' ||
  fail "the installed quillon-convert.exe does not start"
# The installed window, started where the Start menu entry starts it, with
# the stand-in library put there as a user puts the logger's own, and a raw
# log in Rawdata as a download leaves one (without one Quillon says so first).
cp "$program/stand-in-library/ORVEX_DLL.dll" "$work/"
mkdir -p "$work/Rawdata"
cp "$root/tests/data/sample_rawlog.txt" "$work/Rawdata/20080312064506_Rawdata_1234567.txt"
shot=$dir/installed-quillon.png
rm -f "$shot" "$dir/installed-messages.txt"
(cd "$work" && QUILLON_SCREENSHOT="Z:$shot" QUILLON_EXIT_AFTER_SCREENSHOT=1 \
  QUILLON_MESSAGE_LOG="Z:$dir/installed-messages.txt" \
  timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$root/tools/wine-run.sh" --bits "$bits" --prefix "$prefix" "$program/Quillon.exe") ||
  fail "the installed Quillon.exe did not start in $work"
[[ -s $shot ]] || fail "the installed Quillon.exe showed no window ($shot)"
[[ ! -s $dir/installed-messages.txt ]] ||
  fail "the installed Quillon.exe showed a message at start: $(cat "$dir/installed-messages.txt")"

run "$program/Uninstall.exe" /S || fail "the uninstaller ended with status $?"
# The uninstaller copies itself away and goes on after the first one returns.
for _ in $(seq 30); do
  [[ -e $program/Quillon.exe || -e $link ]] || break
  sleep 1
done
[[ ! -e $program/Quillon.exe ]] || fail "Quillon.exe is still there after uninstalling"
[[ ! -e $menu ]] || fail "the Start menu folder is still there after uninstalling"
[[ -f $work/Rawdata/20080312064506_Rawdata_1234567.txt && -f $work/ORVEX_DLL.dll ]] ||
  fail "uninstalling removed the user's files"
echo "installer check passed: $(basename "$installer") installed, started, uninstalled; the working folder kept"
