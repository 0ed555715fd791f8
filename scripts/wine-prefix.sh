#!/bin/sh
# wine-prefix.sh PREFIX [null|x11]: create a private Wine prefix once, non-interactively.
#  - null: the null graphics driver, so windows, dialogs and the robot work without X (tests);
#    x11: real windows on $DISPLAY (./dev run).
#  - no crash dialog and no winedbg (it sometimes turned a crash's exit code into 0);
#  - real folders where a fresh prefix links Desktop/Documents into the Unix home;
#  - the test drives: R: removable, O: CD, N: network, F: fixed, S: small (a tmpfs when
#    ./dev can mount one), each a folder under PREFIX/../wine-drives.
# Leaves no wineserver running. Does nothing when the prefix is already complete.
set -e
prefix="$1"; driver="${2:-null}"
[ -n "$prefix" ] || { echo "usage: wine-prefix.sh PREFIX [null|x11]" >&2; exit 2; }
[ -f "$prefix/.sarvello-ready" ] && exit 0
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
prefix="$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
[ "$driver" = null ] && unset DISPLAY
wineserver -k 2>/dev/null || true
wineboot -i </dev/null >/dev/null 2>&1
wineserver -w        # the registry files are complete only once the server has exited
find "$prefix/drive_c/users" -type l | while read -r l; do rm "$l"; mkdir -p "$l"; done

drives="$(dirname "$prefix")/wine-drives"
{
  [ "$driver" = null ] && printf '%s\n' 'HKCU\Software\Wine\Drivers|Graphics|REG_SZ|null|'
  printf '%s\n' 'HKCU\Software\Wine\WineDbg|ShowCrashDialog|REG_DWORD|0|'
  for v in /reg:32 /reg:64; do
    printf '%s\n' "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug|Debugger|REG_SZ|no-such-debugger.exe|$v"
  done
  for d in r:floppy o:cdrom n:network f:hd s:hd; do
    printf '%s\n' "HKLM\\Software\\Wine\\Drives|${d%%:*}:|REG_SZ|${d#*:}|/reg:64"
  done
} | while IFS='|' read -r key name type data view; do
  wine reg add "$key" /v "$name" /t "$type" /d "$data" /f $view </dev/null >/dev/null 2>&1
done
for d in r o n f s; do
  mkdir -p "$drives/$d"
  ln -sfn "$drives/$d" "$prefix/dosdevices/$d:"
done
echo REMOVABLE > "$drives/r/.windows-label"
echo NETSHARE > "$drives/n/.windows-label"
wineserver -k 2>/dev/null || true
wineserver -w
touch "$prefix/.sarvello-ready"
