#!/bin/bash
# Runs one end-to-end case of the driver inside the test run's Wine prefix:
#   run_e2e.sh <build dir> <case name> <driver.exe> [driver arguments...]
# The driver's working directories go to <build>/e2e-work (a failed case
# keeps its own), its screenshots to <build>/e2e-shots. When the case fails,
# a picture of the display as it was left is saved there too, and the
# driver's BMP pictures are converted to PNG. Pictures a case takes on
# purpose ("<case>-<what>.bmp") are converted whatever the outcome.
set -u
build=$1
name=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
state=${HS_WINE_STATE:?HS_WINE_STATE must name the wine state directory}

export HS_E2E_WORK="$build/e2e-work"
export HS_E2E_SHOTS="$build/e2e-shots"
mkdir -p "$HS_E2E_WORK" "$HS_E2E_SHOTS"
# What an earlier failed run of this case kept.
rm -f "$HS_E2E_SHOTS/$name.bmp" "$HS_E2E_SHOTS/$name.png" "$HS_E2E_SHOTS/$name-end.png"
rm -rf "$HS_E2E_WORK/hs-e2e-${name//./_}-"*

"$here/../wine/run.sh" "$@"
rc=$?

if [ $rc -ne 0 ]; then
  if [ -f "$state/display" ] && command -v import >/dev/null 2>&1; then
    if DISPLAY=":$(cat "$state/display")" timeout 20 import -window root \
        "$HS_E2E_SHOTS/$name-end.png" >/dev/null 2>&1; then
      echo "screen after the case: $HS_E2E_SHOTS/$name-end.png"
    fi
  fi
  if [ -f "$HS_E2E_SHOTS/$name.bmp" ] && command -v convert >/dev/null 2>&1; then
    if timeout 20 convert "$HS_E2E_SHOTS/$name.bmp" "$HS_E2E_SHOTS/$name.png" >/dev/null 2>&1; then
      rm -f "$HS_E2E_SHOTS/$name.bmp"
      echo "screen at the failure: $HS_E2E_SHOTS/$name.png"
    fi
  fi
fi
if command -v convert >/dev/null 2>&1; then
  for bmp in "$HS_E2E_SHOTS/$name-"*.bmp; do
    [ -f "$bmp" ] || continue
    if timeout 20 convert "$bmp" "${bmp%.bmp}.png" >/dev/null 2>&1; then
      rm -f "$bmp"
      echo "picture: ${bmp%.bmp}.png"
    fi
  done
fi
exit $rc
