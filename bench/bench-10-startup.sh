#!/usr/bin/env bash
# Start of the setup to its wizard window shown, against a bare Win32 window program started the
# same way, in the same run: medians of alternating rounds, and their ratio.
set -uo pipefail
W=${SARVELLO_WIN_BUILD:?}
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
[ -f "$W/setup.exe" ] || { echo "no setup.exe in $W"; exit 1; }
"$W/wine-run" "$W/bin/startup_bench.exe" run "$(winpath "$W/setup.exe")" 15
