#!/usr/bin/env bash
# Installs with apt-get whatever the build and the tests need and this machine lacks.
set -euo pipefail
packages=(cmake ninja-build g++ python3 googletest libbenchmark-dev
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
          wine wine64 xvfb xauth clang x11vnc x11-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
