#!/bin/bash
# Ends the FTP servers that start_ftp.sh started, by their recorded PIDs.
#   stop_ftp.sh <state dir>
set -u
state=$1
. "$(dirname "$0")/../wine/stop_pid.sh"
for f in ftp-server hostile-ftp; do stop_pid "$state/$f.pid"; done
echo "stopped"
exit 0
