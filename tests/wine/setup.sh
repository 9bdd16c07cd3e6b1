#!/bin/bash
# Prepares the Wine side of a test run: an Xvfb display, a Wine prefix with a
# virtual desktop and no crash dialog, and one persistent wineserver.
# Everything started here is recorded by PID and stopped by cleanup.sh.
set -eu
state=$1
mkdir -p "$state"
"$(dirname "$0")/cleanup.sh" "$state" >/dev/null 2>&1 || true

# A free display chosen by Xvfb itself.
exec 3>"$state/display.tmp"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
echo $! >"$state/xvfb.pid"
exec 3>&-
for _ in $(seq 1 100); do
  [ -s "$state/display.tmp" ] && break
  sleep 0.1
done
[ -s "$state/display.tmp" ] || { echo "Xvfb did not start"; cat "$state/xvfb.log"; exit 1; }
tr -d '\n' <"$state/display.tmp" >"$state/display"
export DISPLAY=":$(cat "$state/display")"

export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.hs-ready" ]; then
  rm -rf "$WINEPREFIX"
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  /usr/lib/wine/wine64 regedit /S "$(dirname "$0")/prefix.reg" >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  touch "$WINEPREFIX/.hs-ready"
fi
# One wineserver for the whole run, so that each test's programs start warm
# and no test waits for a server to linger and die.
# In the foreground (-f) so that $! is the server itself, never another
# prefix's server found by name.
/usr/lib/wine/wineserver -f -p >/dev/null 2>&1 </dev/null &
echo $! >"$state/wineserver.pid"
# Ready once a client can talk to it: a program run answers in the prefix.
for _ in $(seq 1 50); do
  /usr/lib/wine/wine64 cmd /c exit 0 >/dev/null 2>&1 </dev/null && break
  sleep 0.1
done
echo "display $DISPLAY, prefix ready"
