#!/bin/bash
# Runs the check benchmark of the cross build under Wine: its own Wine state
# (prefix, display, wineserver) and the far sites' server, both stopped by
# PID at the end.
#   bench/run_check_bench.sh <cross build dir> [check_wine_bench.exe options]
set -u
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
state="$build/bench-state"
export HS_WINE_STATE="$state/wine"
export HS_FAR_STATE="$state/far"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
command -v urlwatch >/dev/null || echo "urlwatch missing (apt-get install urlwatch): its column stays -1"
mkdir -p "$HS_FAR_STATE"
rm -f "$HS_FAR_STATE/ports"
"$root/tests/wine/setup.sh" "$HS_WINE_STATE" || exit 1
python3 "$here/far_sites.py" "$HS_FAR_STATE" >"$HS_FAR_STATE/server.log" 2>&1 </dev/null &
echo $! >"$HS_FAR_STATE/server.pid"
for _ in $(seq 1 50); do [ -s "$HS_FAR_STATE/ports" ] && break; sleep 0.1; done
"$root/tests/wine/run.sh" "$build/bench/check_wine_bench.exe" --program="$build/Halvorsight.exe" "$@"
rc=$?
. "$root/tests/wine/stop_pid.sh"
stop_pid "$HS_FAR_STATE/server.pid"
rm -rf "$HS_FAR_STATE/www"
"$root/tests/wine/cleanup.sh" "$HS_WINE_STATE" >/dev/null
exit $rc
