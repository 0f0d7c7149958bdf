#!/usr/bin/env bash
# Runs one cross build's tests under Wine on a virtual display, then ends every Wine
# process of that build's prefix so nothing lingers.
# usage: wine-tests.sh PRESET
set -uo pipefail
preset=$1
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$root/build/$preset/wineprefix

# A 32-bit Windows program needs a machine that runs 32-bit Linux programs too.
if [ "$preset" = windows ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "wine-tests: this machine cannot run 32-bit programs; the 32-bit build was" \
       "built but its tests run on the 64-bit build only."
  exit 0
fi

stop_wine() {
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -w 2>/dev/null || true
}
trap stop_wine EXIT

cd "$root" || exit 1
# Wine is ended while the virtual display still stands, so nothing complains of losing it.
export prefix preset
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
  'ctest --preset "$preset"; rc=$?; WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null; exit $rc'
