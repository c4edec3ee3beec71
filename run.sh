#!/usr/bin/env bash
# Builds the Windows configuration and starts Korvanta under Wine: on the current display,
# or on a virtual one when there is none. Arguments go to the program's command line.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$root"
bash scripts/deps.sh
bash scripts/configure.sh windows
cmake --build build/windows -j "$(nproc)"
exe=build/windows/bin/Korvanta.exe
if [ ! -f "$exe" ]; then
  echo "Built the Windows configuration in build/windows; the program itself is not built yet."
  exit 0
fi
# The user's own prefix, apart from the tests' one and with Wine's usual window handling.
export KV_WINEPREFIX=${KV_WINEPREFIX:-$root/build/wineprefix-user} KV_WINE_USER_PREFIX=1
if [ -n "${DISPLAY:-}" ]; then
  exec cmake/wine-run.sh "$exe" "$@"
else
  exec xvfb-run -a -s "-screen 0 1280x1024x24" cmake/wine-run.sh "$exe" "$@"
fi
