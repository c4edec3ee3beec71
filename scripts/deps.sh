#!/usr/bin/env bash
# Installs with apt-get whatever the build, the tests and ./run.sh need and this machine lacks.
# Recommended packages are left out on purpose, so every package the two commands of the
# README rely on is named here, also those a full install would only have recommended: Wine's
# own fonts (without them the caption buttons of every window show letters), the fuzzing
# runtime of clang, and ImageMagick for ./run.sh's picture of the main window.
set -euo pipefail
packages=(cmake ninja-build g++ python3 googletest libbenchmark-dev
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
          wine wine64 fonts-wine xvfb xauth clang libclang-rt-dev x11vnc x11-utils iproute2
          imagemagick)
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
