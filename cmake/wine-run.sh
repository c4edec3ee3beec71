#!/usr/bin/env bash
# Runs a Windows program under the build's private Wine prefix. The prefix lives beside the
# build directories (build/wineprefix) and is created on first use.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
export WINEPREFIX=${KV_WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Several tests may start at once on a fresh prefix: only one of them boots it.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  flock -u 9
fi
# With no window manager Wine waits about two seconds for every hide or destroy of a managed
# top-level window; the test prefix makes its windows unmanaged. A user's prefix (./run.sh)
# is left as a user would have it.
if [ "${KV_WINE_USER_PREFIX:-0}" != 1 ] && [ ! -f "$WINEPREFIX/.kv-unmanaged" ]; then
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.kv-unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 &&
      touch "$WINEPREFIX/.kv-unmanaged"
  fi
  flock -u 9
fi
# This Wine looks for its own fonts (the symbols of the caption buttons among them) only in
# the prefix's Fonts folder, which it leaves empty; Wine's fonts package puts them in its data
# folder. The user's prefix links them in; the tests' prefix keeps the fonts it always had.
if [ "${KV_WINE_USER_PREFIX:-0}" = 1 ] && [ -d /usr/share/wine/fonts ] &&
  [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
  for font in /usr/share/wine/fonts/*; do
    [ -e "$WINEPREFIX/drive_c/windows/Fonts/${font##*/}" ] ||
      ln -s "$font" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  done
fi
exec wine "$@"
