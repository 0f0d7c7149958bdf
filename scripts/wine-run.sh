#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix (made on first use).
# usage: wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# Without a display it starts a virtual one for this run alone. Several programs may
# start at once on a prefix that isn't there yet: one makes it, the others wait for it.
set -euo pipefail
prefix=$1
shift
program=$1
shift

# Wine takes only an absolute prefix.
case $prefix in
  /*) ;;
  *) prefix=$PWD/$prefix ;;
esac
prefix=${prefix%/}

if [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=scripts/wine-env.sh
  . "$(dirname "$0")/wine-env.sh"
  exec "${virtual_display[@]}" "$0" "$prefix" "$program" "$@"
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

# Written last, once the prefix is whole: a prefix without it is made (again).
ready=$prefix/.quendral-prefix-ready

# Runs a step of making the prefix quietly; if it fails, shows what Wine said and stops.
step() {
  local output
  if ! output=$("$@" 2>&1); then
    [ -z "$output" ] || echo "$output" >&2
    echo "wine-run: could not make the Wine prefix $prefix: $* failed" >&2
    exit 1
  fi
}

make_prefix() {
  echo "wine-run: making the Wine prefix $prefix (once, about 20 s)" >&2
  # A 64-bit prefix, which runs 32-bit programs too, is made by the 64-bit loader
  # whichever program comes first: the 32-bit one can't make it.
  local -x WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  step /usr/lib/wine/wine64 wineboot -i
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
      step /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v $setting /d N /f
    done
  fi
  /usr/lib/wine/wineserver -w
  touch "$ready"
}

if [ ! -f "$ready" ]; then
  mkdir -p "$prefix"
  # One program makes the prefix; any other started meanwhile waits, then finds it made.
  # The lock is let go before the program starts, which must not inherit it.
  exec 9>"$prefix/.quendral-prefix-lock"
  flock 9
  [ -f "$ready" ] || make_prefix
  exec 9>&-
fi
exec "$loader" "$program" "$@"
