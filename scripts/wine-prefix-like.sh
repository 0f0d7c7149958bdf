#!/usr/bin/env bash
# Makes a Wine prefix that differs from a build's own in one setting, for tests that
# must see Quendral as another system would show it: a copy of the made prefix, its
# files hard-linked (a second prefix made from nothing costs ~17 s and ~300 MB), its
# registry copied outright, then the setting applied. Kept between runs; the setting is
# applied, and checked, every time.
# usage: wine-prefix-like.sh BASE NEW dpi 144 | version winxp|win7
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
base=$1
new=$2
setting=$3
value=$4
run() { "$root/scripts/wine-run.sh" "$new" "$@"; }

if [ ! -f "$base/system.reg" ]; then
  echo "wine-prefix-like: $base is not a made prefix" >&2
  exit 1
fi
if [ ! -f "$new/system.reg" ]; then
  rm -rf "$new.part"
  cp -al "$base" "$new.part"
  # The server rewrites the registry files; they must not be the base prefix's own.
  for file in "$new.part"/*.reg; do
    cp --remove-destination "$base/$(basename "$file")" "$file"
  done
  mv "$new.part" "$new"
fi

case $setting in
  dpi)
    run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$value" /f >/dev/null
    shown=$(run reg query 'HKCU\Control Panel\Desktop' /v LogPixels | tr -d '\r' |
            awk '/LogPixels/ {print $3}')
    [ "$((shown))" = "$value" ] || { echo "wine-prefix-like: LogPixels reads $shown" >&2; exit 1; }
    ;;
  version)
    # What winecfg's version setting writes; winecfg itself offers XP only as 64-bit XP
    # (5.2) in a 64-bit prefix, where 32-bit programs do see 5.1 with this value.
    run reg add 'HKCU\Software\Wine' /v Version /d "$value" /f >/dev/null
    shown=$(run "$new/drive_c/windows/syswow64/cmd.exe" /c ver | tr -d '\r')
    case $value in winxp) want=" 5.1" ;; win7) want=" 6.1" ;; *) want="" ;; esac
    [[ "$shown" == *"$want"* ]] || { echo "wine-prefix-like: the prefix says: $shown" >&2; exit 1; }
    ;;
  *)
    echo "wine-prefix-like: unknown setting $setting" >&2
    exit 1
    ;;
esac
echo "wine-prefix-like: $(basename "$new"): $setting $value"
