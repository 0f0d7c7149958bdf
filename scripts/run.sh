#!/usr/bin/env bash
# make run: Quendral under Wine beside a stand-in messenger on the user's display; with none,
# a scripted session on a virtual one, then what the messenger got and a picture of both.
# Builds only what it runs: the shipped 32-bit build where this machine runs it, else the 64-bit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
run=$root/scripts/wine-run.sh
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"

if "$root/scripts/can-run-32bit.sh"; then
  preset=windows
  which="32-bit, the build that ships"
else
  preset=windows64
  which="64-bit: this machine can't run 32-bit programs"
  [ "${QUENDRAL_NO_32BIT:-}" != 1 ] || which="64-bit: QUENDRAL_NO_32BIT=1 says this machine can't run 32-bit programs"
fi
build=$root/build/$preset
quendral=$build/Quendral.exe
targets=(Quendral messenger)
[ -n "${DISPLAY:-}" ] || targets+=(session)

mkdir -p "$root/build"
log=$root/build/run-build.log
echo "run: building ${targets[*]} in build/$preset (progress in build/run-build.log)"
if ! (cd "$root" && cmake --preset "$preset" && cmake --build --preset "$preset" --target "${targets[@]}") \
  >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "run: the build failed; its whole log is build/run-build.log" >&2
  exit 1
fi

if [ -n "${DISPLAY:-}" ]; then
  prefix=$build/desktop-prefix
  trap 'wine_stop "$prefix"' EXIT
  export QUENDRAL_DESKTOP=1
  echo "run: the stand-in messenger and ${quendral#"$root"/} ($which)"
  # Both start at once; wine-run.sh makes a missing prefix once, for both. The messenger
  # stands beside Quendral's window once it shows, not under it.
  "$run" "$prefix" "$build/messenger.exe" --beside &
  "$run" "$prefix" "$quendral"
  exit 0
fi

prefix=$build/wineprefix
picture=$root/build/quendral-and-messenger.png
echo "run: no display, so a scripted session through the real window on a virtual one,"
echo "run: driving ${quendral#"$root"/} ($which)"
if ! on_virtual_display "$prefix" "$run" "$prefix" "$build/session.exe" "Z:${picture%.png}.bmp"; then
  echo "run: the scripted session failed" >&2
  exit 1
fi
/usr/bin/convert "${picture%.png}.bmp" "$picture"
rm -f "${picture%.png}.bmp"
echo "run: a picture of Quendral and the messenger: ${picture#"$root"/}"
