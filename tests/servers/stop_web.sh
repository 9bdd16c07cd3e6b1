#!/bin/bash
# Stops the web servers started by start_web.sh (by their PID) and removes
# the test CA from the Wine prefix again.
#   stop_web.sh <state dir>
set -u
state=$1
if [ -f "$state/web.pid" ]; then
  pid=$(cat "$state/web.pid")
  kill "$pid" 2>/dev/null
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null
  rm -f "$state/web.pid"
fi
if [ -f "$state/ca.thumbprint" ] && [ -n "${HS_WINE_STATE:-}" ]; then
  WINEPREFIX="$HS_WINE_STATE/prefix" WINEDEBUG=-all /usr/lib/wine/wine64 reg delete \
    "HKCU\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$(cat "$state/ca.thumbprint")" /f \
    >/dev/null 2>&1 </dev/null
  rm -f "$state/ca.thumbprint"
fi
exit 0
