#!/usr/bin/env bash
# Runs a Windows program under Wine:
#   wine-run.sh [--bits 32|64] [--prefix DIR] PROGRAM [ARGS...]
# or only makes the prefix: wine-run.sh [--bits 32|64] [--prefix DIR] --init
# 32 (the default) is the build that ships: Debian's wine32 loader in a 32-bit
# prefix (WINEARCH=win32), as on a user's PC. 64 is the wine64 loader, for
# machines that cannot run 32-bit programs. The loader is called itself,
# because /usr/bin/wine picks one by guessing. The Wine prefix (default:
# WINEPREFIX or ./wine-prefix) is made on first use and then reused. Wine's own messages
# go to DIR/wine-stderr.log so that they never mix with the program's output;
# QUILLON_WINE_STDERR=keep passes stderr through instead (the program's own
# stderr shares the stream with Wine's).
set -euo pipefail
bits=32
if [[ ${1:-} == --bits ]]; then
  bits=$2
  shift 2
fi
prefix=${WINEPREFIX:-$PWD/wine-prefix}
if [[ ${1:-} == --prefix ]]; then
  prefix=$2
  shift 2
fi
# Wine takes only an absolute WINEPREFIX.
prefix=$(realpath -m "$prefix")
(($#)) || { echo "usage: $0 [--bits 32|64] [--prefix DIR] PROGRAM [ARGS...] | --init" >&2; exit 2; }
case $bits in
  32) loader=/usr/lib/wine/wine package="wine32:i386 (after dpkg --add-architecture i386)" arch=win32 ;;
  64) loader=/usr/lib/wine/wine64 package=wine64 arch=win64 ;;
  *) echo "$0: --bits takes 32 or 64" >&2; exit 2 ;;
esac
[[ -x $loader ]] || { echo "$0: $loader is missing (apt-get install $package)" >&2; exit 2; }
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
# Wine draws with the host's fonts through fontconfig; this keeps their text
# unsmoothed, as the Linux build's windows are drawn under Xvfb.
export FONTCONFIG_FILE=${FONTCONFIG_FILE:-$(dirname "$(realpath "$0")")/wine-fonts.conf}
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
mkdir -p "$prefix"
# Test programs start in parallel: one of them makes the prefix (about 20 s),
# the others wait. Make it beforehand with --init where a caller times out
# sooner, such as the test discovery of gtest_discover_tests.
exec 9>"$prefix.lock"
flock 9
if [[ ! -f $prefix/.ready ]]; then
  if ! "$loader" wineboot -i >>"$prefix/wine-stderr.log" 2>&1; then
    echo "$0: making the Wine prefix $prefix failed (see $prefix/wine-stderr.log)" >&2
    exit 2
  fi
  /usr/lib/wine/wineserver -w
  touch "$prefix/.ready"
fi
flock -u 9
exec 9>&-
[[ $1 == --init ]] && exit 0
if [[ ${QUILLON_WINE_STDERR:-} == keep ]]; then
  exec "$loader" "$@"
fi
exec "$loader" "$@" 2>>"$prefix/wine-stderr.log"
