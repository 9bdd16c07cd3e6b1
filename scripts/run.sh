#!/bin/bash
# Builds Halvorsight for Windows and starts it under Wine in a working
# directory of its own (default: ~/Halvorsight, or the first argument).
# Without a display, an Xvfb display is started for it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

build="$root/build/win-release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" --target Halvorsight -j"$(nproc)"

work=${1:-$HOME/Halvorsight}
mkdir -p "$work"
cp "$build/Halvorsight.exe" "$work/"
for f in Halvorsight.sound manual.html; do
  [ -f "$build/$f" ] && cp "$build/$f" "$work/"
done

export WINEPREFIX=${WINEPREFIX:-$HOME/.local/share/halvorsight/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$WINEPREFIX" ]; then
  mkdir -p "$WINEPREFIX"
  echo "Preparing the Wine prefix $WINEPREFIX (once)..."
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
fi

if [ -z "${DISPLAY:-}" ]; then
  Xvfb :77 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null' EXIT
  export DISPLAY=:77
  echo "No display: started Xvfb on :77 (screenshot: DISPLAY=:77 import -window root shot.png)"
fi

echo "Starting Halvorsight in $work"
cd "$work"
/usr/lib/wine/wine64 ./Halvorsight.exe 2> >(grep -v 'rundll32' >&2)
