#!/usr/bin/env bash
# Starts a stand-in messenger and Quendral under Wine on the user's display. With no
# display, plays a short scripted session through the real window instead, prints
# what the messenger received and saves a picture of the two windows side by side.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows64
prefix=$build/wineprefix
run=$root/scripts/wine-run.sh

# The shipped 32-bit program where this machine can run it, else the 64-bit build.
quendral=$root/build/windows/Quendral.exe
"$root/scripts/can-run-32bit.sh" || quendral=$build/Quendral.exe

stop_wine() { WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT

if [ -n "${DISPLAY:-}" ]; then
  prefix=$build/desktop-prefix
  export QUENDRAL_DESKTOP=1
  echo "Starting the stand-in messenger and Quendral ($quendral)."
  # The messenger stands beside Quendral's window once it shows, not under it.
  "$run" "$prefix" "$build/messenger.exe" --beside &
  "$run" "$prefix" "$quendral"
  exit 0
fi

picture=$root/build/quendral-and-messenger.png
echo "No display: a scripted session through the real window on a virtual one."
export run prefix build picture
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
  '"$run" "$prefix" "$build/session.exe" "Z:${picture%.png}.bmp"; rc=$?
   WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null; exit $rc'
/usr/bin/convert "${picture%.png}.bmp" "$picture"
rm -f "${picture%.png}.bmp"
echo "A picture of Quendral and the messenger: $picture"
