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
if [ -n "${DISPLAY:-}" ]; then
  exec cmake/wine-run.sh "$exe" "$@"
else
  exec xvfb-run -a -s "-screen 0 1280x1024x24" cmake/wine-run.sh "$exe" "$@"
fi
