#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix (made on first use).
# usage: wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# Without a display it starts a virtual one for this run alone.
set -euo pipefail
prefix=$1
shift
program=$1
shift

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$prefix" "$program" "$@"
fi

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers popping up in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# PE32+ programs need the 64-bit loader; PE32 ones the 32-bit loader.
if [ -f "$program" ]; then
  pe_offset=$(od -An -t u4 -j 60 -N 4 "$program" | tr -d " ")
  machine=$(od -An -t x2 -j $((pe_offset + 4)) -N 2 "$program" | tr -d " ")
else
  machine=8664  # a program of the prefix itself, such as cmd.exe
fi
if [ "$machine" = "8664" ]; then
  loader=/usr/lib/wine/wine64
else
  loader=/usr/lib/wine/wine
fi
export WINELOADER=$loader

if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  WINEARCH=win64 "$loader" wineboot -i >/dev/null 2>&1 || true
  # This Wine looks for its own fonts (Tahoma, Marlett ...) in the wrong folder;
  # the prefix's font folder is always searched.
  for font in /usr/share/wine/fonts/*.ttf; do
    ln -sf "$font" "$prefix/drive_c/windows/Fonts/"
  done
  # Virtual displays have no window manager: Wine draws the frames itself and
  # doesn't wait for one whenever a window opens or closes. A prefix for a real
  # desktop (QUENDRAL_DESKTOP=1) leaves the frames to the desktop's own manager.
  if [ -z "${QUENDRAL_DESKTOP:-}" ]; then
    for setting in Decorated Managed; do
      "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v $setting /d N /f >/dev/null 2>&1 || true
    done
  fi
  "${loader%/*}/wineserver" -w 2>/dev/null || true
fi
exec "$loader" "$program" "$@"
