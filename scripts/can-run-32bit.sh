#!/usr/bin/env bash
# The one place that decides whether this machine runs 32-bit Windows programs under
# Wine: that takes a kernel that runs 32-bit Linux programs, and 32-bit Wine. Exits 0
# when it can, 1 when it can't. QUENDRAL_NO_32BIT=1 answers "can't" on any machine, so
# that path can be tried where both work.
if [ "${QUENDRAL_NO_32BIT:-}" = 1 ]; then
  exit 1
fi
/usr/lib/wine/wine --version >/dev/null 2>&1
