#!/usr/bin/env bash
# Configures one build directory if it is not configured yet: windows, native or tsan.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kind=$1
dir=$root/build/$kind
[ -f "$dir/build.ninja" ] && exit 0
case $kind in
  # Line tables only: a backtrace still names its lines, and the build takes a fifth less.
  windows) extra=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo
                  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG") ;;
  native)  extra=(-DKV_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug) ;;
  tsan)    extra=(-DKV_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug) ;;
  bench)   extra=(-DKV_SANITIZE=none -DCMAKE_BUILD_TYPE=Release) ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja "${extra[@]}" >/dev/null
