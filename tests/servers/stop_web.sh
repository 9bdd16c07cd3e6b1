#!/bin/bash
# Stops the web servers started by start_web.sh (by their PID) and removes
# the test CA from the Wine prefix again.
#   stop_web.sh <state dir>
set -u
state=$1
. "$(dirname "$0")/../wine/stop_pid.sh"
stop_pid "$state/web.pid"
if [ -f "$state/ca.thumbprint" ] && [ -n "${HS_WINE_STATE:-}" ]; then
  WINEPREFIX="$HS_WINE_STATE/prefix" WINEDEBUG=-all /usr/lib/wine/wine64 reg delete \
    "HKCU\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$(cat "$state/ca.thumbprint")" /f \
    >/dev/null 2>&1 </dev/null
  rm -f "$state/ca.thumbprint"
fi
exit 0
