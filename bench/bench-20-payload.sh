#!/usr/bin/env bash
# The payload inside the setup: the archive's load (inflate + index) against a bare zlib loop
# over the same stream, the size of the setup without its payload, and the peak working set of
# the setup on its welcome page against a bare window program.
set -uo pipefail
W=${SARVELLO_WIN_BUILD:?}
payload=$W/payload/payload.z
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
if [ ! -f "$payload" ] || [ ! -f "$W/setup.exe" ]; then
  echo "no payload or setup.exe in $W"; exit 1
fi
"$W/wine-run" "$W/bin/payload_bench.exe" inflate "$(winpath "$payload")" 21 || exit 1

exe=$(stat -c %s "$W/setup.exe")
packed=$(stat -c %s "$payload")
stub=$((exe - packed))
tmp=$(mktemp)
i686-w64-mingw32-strip -o "$tmp" "$W/setup.exe" && stripped=$(stat -c %s "$tmp") || stripped=$exe
rm -f "$tmp"
echo "stub: setup.exe $exe bytes - payload $packed bytes = $((stub / 1024)) KB" \
     "(stripped: $(((stripped - packed) / 1024)) KB; target <= 256 KB)"

inflated=$("$W/host/bin/mkpayload" verify "$payload" 2>/dev/null | sed -nE 's/.* ([0-9]+) bytes inflated.*/\1/p')
"$W/wine-run" "$W/bin/payload_bench.exe" memory "$(winpath "$W/setup.exe")" || exit 1
[ -n "$inflated" ] && echo "  allowance: inflated + compressed payload + 3 MB =" \
  "$(awk -v i="$inflated" -v p="$packed" 'BEGIN { printf "%.1f MB", (i + p) / 1048576 + 3 }')"
