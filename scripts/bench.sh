#!/usr/bin/env bash
# make bench: bench.exe drives Quendral.exe under Wine on a virtual display; its table also
# goes to build/bench.md. Timings from the 32-bit build where this machine runs it, else the
# 64-bit one; size and imports always from the shipped 32-bit Quendral.exe, read as a file.
# usage: bench.sh [bench.exe options...]   (e.g. --figures 7; see bench/bench.cpp)
# Other folders: BENCH_BUILD (the build timed), BENCH_SHIPPED (32-bit Quendral.exe), BENCH_OUT.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shipped=${BENCH_SHIPPED:-$root/build/windows/Quendral.exe}
notes=()
if "$root/scripts/can-run-32bit.sh"; then
  build=${BENCH_BUILD:-$root/build/windows}
else
  build=${BENCH_BUILD:-$root/build/windows64}
  notes+=(--note "This machine cannot run 32-bit programs, so the timings come from the 64-bit build; size and imports are those of the 32-bit Quendral.exe that ships.")
fi
out=${BENCH_OUT:-$root/build/bench.md}
# A prefix of its own, so that ending its processes never touches a test run's. Wine sees
# the Linux file system as drive Z:.
prefix=$build/bench-wineprefix
table=$(mktemp)
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"

# shellcheck disable=SC2317  # called through the trap
finish() {
  wine_stop "$prefix"
  rm -f "$table"
  # The stand-in messengers' logs.
  rm -f "$prefix"/drive_c/users/*/Temp/messenger-*.log \
        "$prefix"/drive_c/users/*/AppData/Local/Temp/messenger-*.log 2>/dev/null || true
}
trap finish EXIT

for file in "$build/bench.exe" "$shipped"; do
  if [ ! -f "$file" ]; then
    echo "bench: $file is missing (make build makes it)" >&2
    exit 1
  fi
done

# The run on one processor: on a virtual machine a window-server request that must wake an
# idle processor waits tens of microseconds, as often as the scheduler's placing decides.
# The programs take turns anyway (each send waits for its answer).
cpu=$(taskset -pc $$ | sed 's/.*: //; s/[,-].*//')

started=$SECONDS
echo "bench: running; a few minutes (the first run also makes a Wine prefix)" >&2
status=0
taskset -c "$cpu" "$root/scripts/wine-env.sh" on_virtual_display "$prefix" \
  "$root/scripts/wine-run.sh" "$prefix" "$build/bench.exe" \
  --shipped "Z:$(readlink -f "$shipped" | tr / '\134')" "${notes[@]}" "$@" >"$table" || status=$?

# The machine and the day, under the table's title: figures mean little without them.
machine() {
  local model os
  model=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
  os=$(. /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-}")
  echo "${model:-an unknown processor}, $(nproc) cores (the run on one of them), ${os:-$(uname -s)}, $(/usr/lib/wine/wine64 --version 2>/dev/null || echo "Wine")"
}

if [ -s "$table" ]; then
  mkdir -p "$(dirname "$out")"
  {
    head -n 1 "$table"
    echo
    echo "Measured on $(date -u +%Y-%m-%d) on $(machine)."
    tail -n +2 "$table"
  } >"$out"
  echo
  cat "$out"
  echo
  echo "bench: $((SECONDS - started)) s; the table is in ${out#"$root"/}" >&2
else
  echo "bench: no table (exit code $status)" >&2
fi
exit $status
