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
if command -v makensis >/dev/null 2>&1; then
  cmake --build "$build" --target package -j"$(nproc)" >/dev/null &&
    echo "Installer and portable zip: $build/package"
fi

work=${1:-$HOME/Halvorsight}
mkdir -p "$work"
cp "$build/Halvorsight.exe" "$work/"
for f in Halvorsight.sound manual.html; do
  [ -f "$build/$f" ] && cp "$build/$f" "$work/"
done

if [ -z "${DISPLAY:-}" ]; then
  # No display: let Xvfb choose a free one and stop it when the program ends.
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null; rm -f "$displayfile"' EXIT
  for _ in $(seq 1 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(tr -d '\n' <"$displayfile")"
  echo "No display: started Xvfb on $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)"
fi

export WINEPREFIX=${WINEPREFIX:-$HOME/.local/share/halvorsight/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  echo "Preparing the Wine prefix $WINEPREFIX (once)..."
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  # A virtual desktop with a taskbar and a notification area, so that the
  # tray icon (the way back after minimizing) is there with any window manager.
  /usr/lib/wine/wine64 regedit /S "$root/tests/wine/prefix.reg" >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w
fi


echo "Starting Halvorsight in $work"
cd "$work"
/usr/lib/wine/wine64 ./Halvorsight.exe 2> >(grep -v 'rundll32' >&2)
