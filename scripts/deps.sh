#!/bin/bash
# Installs what building, running and testing Halvorsight needs on Debian,
# skipping what is already there. Needs root (or sudo).
set -eu
packages=(cmake ninja-build g++ python3 libgtest-dev libgmock-dev googletest libbenchmark-dev libdtl-dev
          g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
          wine64 libgnutls30 xvfb imagemagick openssl python3-pyftpdlib nsis clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
