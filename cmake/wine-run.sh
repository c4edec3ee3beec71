#!/usr/bin/env bash
# Runs a Windows program under a private Wine prefix of the build.
#
# Tests run in build/wineprefix. Booting a prefix takes Wine a long while, so it is booted once
# into build/wineprefix-template, which no program ever runs in, and each test prefix is a copy
# of it, made again when the template is booted again (a new Wine among other reasons).
#
# KV_OWN_DESKTOP=<name> gives a test a desktop of its own: a virtual display that only it uses
# and the prefix build/wineprefix-<name>, so suites that type, click and use the clipboard and
# the registry can run side by side. Both go when the program ends.
#
# The user's prefix (./run.sh: KV_WINE_USER_PREFIX=1, KV_WINEPREFIX) is booted in place and left
# as a user would have it.
#
# Every prefix keeps its users' folders (Documents, Desktop, Downloads, ...) inside it, and Wine
# writes no menu entries or file types into the login's home folder.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# winemenubuilder would put the prefix's start menu and file types into the home folder's
# desktop menus.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}
# Wine's sound driver keeps, on a login without a runtime folder, a link to its own in the home
# folder's settings; it gets one in the build folder instead.
if [ -z "${XDG_RUNTIME_DIR:-}" ] && [ -z "${PULSE_RUNTIME_PATH:-}" ]; then
  export PULSE_RUNTIME_PATH=$root/build/pulse-runtime
fi

# Whether a users' folder of prefix $1 is a link. Wine links Documents, Desktop, Downloads,
# Music, Pictures, Videos and Templates of a prefix it creates to the login's home folder (or to
# its folders of those names); it makes no other links there.
has_user_folder_links() {
  [ -n "$(find "$1/drive_c/users" -type l -print -quit 2>/dev/null)" ]
}

# Makes each of those links of prefix $1 an empty folder of the prefix's own, so that what a
# program saves there stays with the prefix and goes with it. Only the link itself is removed:
# what it led to is not touched. Wine makes a link only where the folder is missing, so it
# keeps the folders, a later update of the prefix included. A new prefix gets them before any
# program runs in it.
own_user_folders() {
  local link
  while IFS= read -r -d '' link; do
    rm -f -- "$link"
    mkdir -p -- "$link"
  done < <(find "$1/drive_c/users" -type l -print0 2>/dev/null)
}

# Boots the prefix $WINEPREFIX unless it is booted. Several tests may start at once on a fresh
# prefix: only one of them boots it. A prefix booted while Wine's links to the home folder were
# kept gets folders of its own at its next start.
boot_in_place() {
  [ -f "$WINEPREFIX/system.reg" ] && ! has_user_folder_links "$WINEPREFIX" && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 9>&- || true
  fi
  wineserver -w 9>&- || true
  own_user_folders "$WINEPREFIX"
  flock -u 9
  exec 9>&-
}

template=$root/build/wineprefix-template

# Boots the template again when it is missing or was booted by another Wine. Its stamp, written
# last, names the Wine and the boot; a copy keeps the stamp it was made from. A template booted
# while Wine's links to the home folder were kept gets folders of its own, and so does each copy
# of it, in use or left from a test that is gone.
ensure_template() {
  local wine_version stamp prefix
  wine_version=$(wine --version 2>/dev/null || echo unknown)
  [ "$(head -n 1 "$template/.kv-template" 2>/dev/null)" = "$wine_version" ] &&
    ! has_user_folder_links "$template" && return 0
  mkdir -p "$(dirname "$template")"
  exec 8>"$template.lock"
  flock 8
  if [ "$(head -n 1 "$template/.kv-template" 2>/dev/null)" = "$wine_version" ]; then
    own_user_folders "$template"
    for prefix in "$root"/build/wineprefix "$root"/build/wineprefix-*; do
      [ -f "$prefix/.kv-copied-from" ] && own_user_folders "$prefix"
    done
  else
    local fresh="$template.new"
    rm -rf "$fresh"
    # Wine's processes never get the lock: one left behind would hold it for good.
    WINEPREFIX=$fresh wineboot -i >/dev/null 2>&1 8>&- || true
    # With no window manager Wine waits about two seconds for every hide or destroy of a
    # managed top-level window; the tests' prefixes make their windows unmanaged.
    WINEPREFIX=$fresh wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N \
      /f >/dev/null 2>&1 8>&- || true
    # The server writes the registry to its files as it ends.
    WINEPREFIX=$fresh wineserver -w 8>&- || true
    own_user_folders "$fresh"
    if [ ! -f "$fresh/system.reg" ] || ! grep -q '"Managed"="N"' "$fresh/user.reg"; then
      echo "wine-run.sh: Wine could not boot a prefix in $fresh" >&2
      exit 1
    fi
    stamp="$wine_version"$'\n'"booted $(date '+%F %T.%N')"
    printf '%s\n' "$stamp" >"$fresh/.kv-template"
    rm -rf "$template"
    mv "$fresh" "$template"
  fi
  flock -u 8
  exec 8>&-
}

# Makes $1 a copy of the template unless it is one of the template as it is. Copies are made
# under the template's lock: one at a time, and never of a template being booted again.
ensure_copy() {
  local prefix=$1 stamp
  stamp=$(cat "$template/.kv-template")
  [ "$(cat "$prefix/.kv-copied-from" 2>/dev/null)" = "$stamp" ] && return 0
  exec 7>"$template.lock"
  flock 7
  stamp=$(cat "$template/.kv-template")
  if [ "$(cat "$prefix/.kv-copied-from" 2>/dev/null)" != "$stamp" ]; then
    [ -d "$prefix" ] && { WINEPREFIX=$prefix wineserver -k 2>/dev/null 7>&- || true; }
    rm -rf "$prefix" "$prefix.new"
    python3 "$here/copy-wine-prefix.py" "$template" "$prefix.new"
    printf '%s\n' "$stamp" >"$prefix.new/.kv-copied-from"
    mv "$prefix.new" "$prefix"
  fi
  flock -u 7
  exec 7>&-
}

# The first program of a Wine session starts Wine's own processes (its desktop, services,
# device drivers), which hold that program's output open for as long as the session lasts:
# CTest would wait for them long after a quick test ended beside slow ones. The session of
# the shared prefix is started here with no output to hold, and outlasts its last program by
# half a minute. Its lock is the prefix's own: test starts elsewhere need not wait for it.
start_session() {
  exec 6>"$WINEPREFIX/.kv-session.lock"
  flock 6
  if wineserver -p30 >/dev/null 2>&1 6>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 6>&- || true
  fi
  flock -u 6
  exec 6>&-
}

# Runs the program on a virtual display of its own (a number the X server finds free itself,
# so tests starting at once never pick the same one); the display and the prefix's Wine
# processes end with it.
run_on_own_display() {
  local displayfile xvfb code=0
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  xvfb=$!
  # shellcheck disable=SC2064  # the values are meant to be fixed now
  trap "WINEPREFIX='$WINEPREFIX' wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true
    rm -f '$displayfile'" EXIT
  trap 'exit 143' TERM INT HUP
  local waited=0
  until [ -s "$displayfile" ]; do
    if ! kill -0 "$xvfb" 2>/dev/null || [ "$waited" -ge 600 ]; then
      echo "wine-run.sh: no virtual display started" >&2
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  export DISPLAY=":$(head -n 1 "$displayfile")"
  # In the background, so that a stop request ends the suite at once and clears up after it.
  wine "$@" &
  wait "$!" || code=$?
  # Wine's own processes of the prefix (its desktop, services) end with the suite.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  return "$code"
}

if [ "${KV_WINE_USER_PREFIX:-0}" = 1 ]; then
  export WINEPREFIX=${KV_WINEPREFIX:-$root/build/wineprefix-user}
  boot_in_place
  # This Wine looks for its own fonts (the symbols of the caption buttons among them) only in
  # the prefix's Fonts folder, which it leaves empty; Wine's fonts package puts them in its data
  # folder. The user's prefix links them in; the tests' prefixes keep the fonts they always had.
  if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    for font in /usr/share/wine/fonts/*; do
      [ -e "$WINEPREFIX/drive_c/windows/Fonts/${font##*/}" ] ||
        ln -s "$font" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    done
  fi
  exec wine "$@"
fi

ensure_template
# Only the template booted, ahead of the tests (./test.sh does it while it builds).
[ "${1:-}" = --boot-only ] && exit 0
if [ -n "${KV_OWN_DESKTOP:-}" ]; then
  export WINEPREFIX=$root/build/wineprefix-$KV_OWN_DESKTOP
  ensure_copy "$WINEPREFIX"
  run_on_own_display "$@"
  exit $?
fi
export WINEPREFIX=${KV_WINEPREFIX:-$root/build/wineprefix}
ensure_copy "$WINEPREFIX"
start_session
exec wine "$@"
