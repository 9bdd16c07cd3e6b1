#!/bin/bash
# Stops what setup.sh started: the wineserver of the prefix and the Xvfb,
# each by its own PID.
set -u
state=$1
if [ -d "$state/prefix" ]; then
  WINEPREFIX="$state/prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1
  WINEPREFIX="$state/prefix" timeout 20 /usr/lib/wine/wineserver -w >/dev/null 2>&1
fi
. "$(dirname "$0")/stop_pid.sh"
for f in wineserver xvfb; do stop_pid "$state/$f.pid"; done
echo "stopped"
exit 0
