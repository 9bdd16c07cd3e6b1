#!/bin/bash
# Starts the FTP servers of the end-to-end tests and records their PIDs in
# the state directory; stop_ftp.sh ends them by those PIDs.
#   start_ftp.sh <state dir>
# The real server serves <state>/root on 127.0.0.1:21 and logs to
# <state>/ftp.log; the hostile ones listen on 127.0.0.2 to 127.0.0.4 and
# 127.0.0.6.
set -eu
state=$1
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
mkdir -p "$state/root"
"$here/stop_ftp.sh" "$state" >/dev/null 2>&1 || true
: >"$state/ftp.log"
"$python" "$here/ftp_server.py" "$state/root" "$state/ftp.log" >"$state/ftp-server.out" 2>&1 </dev/null &
echo $! >"$state/ftp-server.pid"
"$python" "$here/hostile_ftp.py" >"$state/hostile-ftp.out" 2>&1 </dev/null &
echo $! >"$state/hostile-ftp.pid"

listening() {  # address
  "$python" -c "import socket,sys; socket.create_connection((sys.argv[1], 21), timeout=1).close()" "$1" \
    >/dev/null 2>&1
}
for address in 127.0.0.1 127.0.0.2 127.0.0.3 127.0.0.4 127.0.0.6; do
  for _ in $(seq 1 50); do
    listening "$address" && break
    sleep 0.1
  done
  if ! listening "$address"; then
    echo "no FTP server on $address:21"
    cat "$state/ftp-server.out" "$state/hostile-ftp.out"
    "$here/stop_ftp.sh" "$state"
    exit 1
  fi
done
# The probes above are connections too: the tests count from here.
sleep 0.2
: >"$state/ftp.log"
echo "FTP servers ready"
