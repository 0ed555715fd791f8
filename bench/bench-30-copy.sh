#!/usr/bin/env bash
# The install worker copying the whole sample payload, side by side with the floor (one
# CreateFileA/WriteFile/SetFileTime per entry), under Wine in the build's prefix. Both write to
# drive F:, backed by a tmpfs for the run when we may mount one: on the disk, the kernel's
# write-back of earlier rounds stalls whichever writer comes next and swamps the difference
# between the two.
set -euo pipefail
win=${SARVELLO_WIN_BUILD:?}
exe=$win/bin/copy_bench.exe
payload=$win/payload/payload.z
[ -f "$exe" ] || { echo "copy_bench.exe not built"; exit 1; }
[ -f "$payload" ] || { echo "no payload at $payload (build the sample product first)"; exit 1; }
export WINEPREFIX=${WINEPREFIX:-$win/wine-prefix} WINEDEBUG=-all
drive=$win/wine-drives/f
target='C:\sarvello-bench-copy\'
if mount -t tmpfs -o size=64m tmpfs "$drive" 2>/dev/null; then
  trap 'umount "$drive" 2>/dev/null || true' EXIT
  target='F:\sarvello-bench-copy\'
  echo "(writing to a tmpfs drive)"
else
  echo "(writing to the disk: no tmpfs could be mounted; expect write-back noise)"
fi
wine "$exe" "Z:$(readlink -f "$payload" | tr / '\\')" "${COPY_BENCH_ROUNDS:-7}" "$target"
