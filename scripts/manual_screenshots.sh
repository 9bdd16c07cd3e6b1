#!/bin/bash
# Takes the pictures of the manual and the README from the real program
# under Wine in an Xvfb display of its own, and writes them as PNG files
# into docs/images. Run it after a change to a window the pictures show:
#   bash scripts/manual_screenshots.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
build="$root/build/win"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)" --target Halvorsight e2e_manual_shots >/dev/null

state="$root/build/shots-wine"
shots="$root/build/shots"
rm -rf "$shots"
mkdir -p "$shots" "$root/docs/images"
trap '"$root/tests/wine/cleanup.sh" "$state" >/dev/null' EXIT
"$root/tests/wine/setup.sh" "$state" >/dev/null
HS_WINE_STATE="$state" HS_E2E_SHOTS="$shots" \
  "$root/tests/wine/run.sh" "$build/e2e/e2e_manual_shots.exe" --program="$build/Halvorsight.exe"
for picture in "$shots"/*.bmp; do
  convert "$picture" -strip "$root/docs/images/$(basename "${picture%.bmp}").png"
done
ls "$root/docs/images"
