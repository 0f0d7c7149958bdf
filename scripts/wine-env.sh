#!/usr/bin/env bash
# The Wine set-up the scripts share: the virtual display, and ending a prefix's Wine
# processes. Sourced, or run as `wine-env.sh FUNCTION ARGS...` (from CMake, or under taskset).

# The display a run without one gets.
virtual_display=(xvfb-run -a -s "-screen 0 1280x1024x24")

# Ends every Wine process of prefix $1 and waits until they are gone; never fails.
wine_stop() {
  WINEPREFIX=$1 /usr/lib/wine/wineserver -k 2>/dev/null || true
  WINEPREFIX=$1 /usr/lib/wine/wineserver -w 2>/dev/null || true
}

# on_virtual_display PREFIX COMMAND...: the command on a virtual display of its own, then
# PREFIX's Wine ended while that display still stands, so nothing complains of losing it.
# Returns the command's status.
on_virtual_display() {
  "${virtual_display[@]}" "${BASH_SOURCE[0]}" then_wine_stop "$@"
}

then_wine_stop() {
  local prefix=$1 status=0
  shift
  "$@" || status=$?
  wine_stop "$prefix"
  return "$status"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  "$@"
fi
