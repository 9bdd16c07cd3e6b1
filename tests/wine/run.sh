#!/bin/bash
# Runs a Windows test program under Wine inside the test run's prefix and
# display (made by setup.sh). The program's output goes through a file so
# that a lingering Wine process cannot keep ctest's pipe open.
set -u
state=${HS_WINE_STATE:?HS_WINE_STATE must name the wine state directory}
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$state/display" ]; then export DISPLAY=":$(cat "$state/display")"; fi
out=$(mktemp "$state/out.XXXXXX")
/usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
rc=$?
grep -v 'syswow64\\rundll32.exe' "$out"
rm -f "$out"
exit $rc
