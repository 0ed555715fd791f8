#!/usr/bin/env bash
# run-setup.sh BUILD [setup arguments]: starts BUILD/setup.exe under Wine in its own run prefix
# (BUILD/wine-run-prefix, never ~/.wine).
#  - With a usable $DISPLAY: an ordinary interactive run.
#  - Without one: a private Xvfb display with Wine's virtual desktop (so windows have frames), the
#    wizard walked with the keyboard, a screenshot of every page it reaches in
#    BUILD/screenshots/page-N.png, then the setup cancelled; Xvfb and the prefix's wineserver
#    are stopped again.
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
build=$(cd "${1:?usage: run-setup.sh BUILD [args]}" && pwd); shift
prefix=$build/wine-run-prefix
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  "$root/scripts/wine-prefix.sh" "$prefix" x11
  exec wine "$build/setup.exe" "$@"
fi

# --- no display: Xvfb, virtual desktop, screenshots ---------------------------------------
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
setup_pid=
cleanup() {
  [ -n "$setup_pid" ] && kill "$setup_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$root/scripts/wine-prefix.sh" "$prefix" x11
# The virtual desktop as the default desktop: frames and title bars without a window manager.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -w

shots=$build/screenshots
rm -rf "$shots"; mkdir -p "$shots"
wine "$build/setup.exe" "$@" </dev/null >/dev/null 2>&1 &
setup_pid=$!

desktop=
for _ in $(seq 150); do
  desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n1 || true)
  [ -n "$desktop" ] && break; sleep 0.1
done
[ -n "$desktop" ] || { echo "run-setup: the Wine desktop did not appear" >&2; exit 1; }

key() { xdotool key "$@"; }
shot() { sleep 1.5; import -window root "$shots/page-$1.png"; echo "$shots/page-$1.png"; }

# Keys go to the focused window of the virtual desktop: the wizard.
xdotool windowfocus "$desktop" 2>/dev/null || true
echo "screenshots:"
sleep 2
shot 0
# Enter presses Next: welcome, licence, destination, components, ready; the installing page
# copies the product and gives way to the associations page by itself.
for page in 1 2 3 4; do
  key Return
  shot "$page"
done
key Return
sleep 0.3; import -window root "$shots/page-5.png"; echo "$shots/page-5.png"
sleep 3
shot 6
key Return
shot 7
# The finish page has no Cancel: the close box (Alt+F4) asks whether to quit; "a" is "&Abort".
key alt+F4
sleep 1
import -window root "$shots/close-question.png"; echo "$shots/close-question.png"
key a
for _ in $(seq 50); do kill -0 "$setup_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$setup_pid" 2>/dev/null; then
  echo "run-setup: the setup did not end after Abort" >&2; exit 1
fi
wait "$setup_pid" && rc=0 || rc=$?
setup_pid=
echo "setup exit code: $rc"
