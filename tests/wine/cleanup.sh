#!/bin/bash
# Stops what setup.sh started: the wineserver of the prefix and the Xvfb,
# each by its own PID.
set -u
state=$1
if [ -d "$state/prefix" ]; then
  WINEPREFIX="$state/prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1
  WINEPREFIX="$state/prefix" timeout 20 /usr/lib/wine/wineserver -w >/dev/null 2>&1
fi
for f in wineserver xvfb; do
  if [ -s "$state/$f.pid" ]; then
    pid=$(cat "$state/$f.pid")
    kill "$pid" >/dev/null 2>&1
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" >/dev/null 2>&1
    rm -f "$state/$f.pid"
  fi
done
echo "stopped"
exit 0
