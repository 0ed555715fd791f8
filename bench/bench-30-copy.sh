#!/usr/bin/env bash
# The install worker copying the whole sample payload, side by side with the floor (one
# CreateFileA/WriteFile/SetFileTime per entry), under Wine in the build's prefix.
set -euo pipefail
win=${SARVELLO_WIN_BUILD:?}
exe=$win/bin/copy_bench.exe
payload=$win/payload/payload.z
[ -f "$exe" ] || { echo "copy_bench.exe not built"; exit 1; }
[ -f "$payload" ] || { echo "no payload at $payload (build the sample product first)"; exit 1; }
export WINEPREFIX=${WINEPREFIX:-$win/wine-prefix} WINEDEBUG=-all
wine "$exe" "Z:$(readlink -f "$payload" | tr / '\\')" "${COPY_BENCH_ROUNDS:-7}"
