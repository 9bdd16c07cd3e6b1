#!/bin/bash
# Ends the FTP servers that start_ftp.sh started, by their recorded PIDs.
#   stop_ftp.sh <state dir>
set -u
state=$1
for f in ftp-server hostile-ftp; do
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
