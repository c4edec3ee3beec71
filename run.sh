#!/usr/bin/env bash
# Builds the Windows configuration and starts Korvanta under Wine. On a display the window
# simply opens there. Without one, a virtual display is started with a VNC server that
# listens on this machine only and asks for a password made for this run (printed below; it
# serves every login until the script ends), and a picture of the main window is written to
# build/korvanta-main-window.png. Closing the program's window ends this script and everything
# it started. Arguments go to the program's command line.
# Wine's own messages (its sound driver's complaints on a machine without a sound card among
# them) go to build/wine.log; a start that fails still says so here.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$root"
bash scripts/deps.sh
bash scripts/configure.sh windows
cmake --build build/windows -j 4 --target Korvanta vmplib
exe=build/windows/bin/Korvanta.exe
[ -d /usr/share/wine/fonts ] ||
  echo "Wine's fonts (package fonts-wine) are missing: caption buttons show letters, not symbols."

# The user's own prefix, apart from the tests' one and with Wine's usual window handling. Its
# Documents, Desktop and other users' folders are folders inside it, not links to the home folder.
export KV_WINEPREFIX=${KV_WINEPREFIX:-$root/build/wineprefix-user} KV_WINE_USER_PREFIX=1

# The installer's part: the example projects in the common application data folder, from
# where the program's first start copies them into the user's data folder.
examples="$KV_WINEPREFIX/drive_c/ProgramData/Zarn/Zarn's Korvanta/Presets"
mkdir -p "$examples"
cp app/res/examples/*.kvxp "$examples/"

winelog="$root/build/wine.log"
: >"$winelog"

# Tells, with the end of Wine's log, when the program ended without ever showing its window.
start_failed() {
  echo "Korvanta ended before its window showed. The end of Wine's messages ($winelog):" >&2
  tail -n 20 "$winelog" >&2
}

started=()
cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$KV_WINEPREFIX wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

if [ -n "${DISPLAY:-}" ]; then
  echo "Korvanta starts on $DISPLAY; Wine's messages go to $winelog."
  code=0
  cmake/wine-run.sh "$exe" "$@" 2>>"$winelog" || code=$?
  if [ "$code" -ne 0 ]; then
    echo "Korvanta ended with exit code $code." >&2
    tail -n 20 "$winelog" >&2
  fi
  exit "$code"
fi

# A virtual display on a number the X server finds free itself.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
started+=($!)
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$displayfile")"
rm -f "$displayfile"

password=$(head -c 12 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | head -c 8)
passfile=$(mktemp)
printf '%s\n' "$password" >"$passfile"
port=5900
while ss -ltn 2>/dev/null | grep -q ":$port "; do port=$((port + 1)); done
# rm: x11vnc deletes the password file once it has read it.
# The viewer's picture follows the screen at once. Wine puts each window's new pixels on the
# display as one rectangle, the whole window after a dialog or list is painted; x11vnc trusts
# only small reported rectangles (-xd_area) and looks for changes in larger ones by sampling
# scan lines, so a dialog that differs from the one before it by a few words, or a list that
# fills, could show the old picture for seconds. -xd_area 0 sends every reported rectangle.
# Neither does it slow its polling after a quiet spell (-nonap, -sb 0) nor while the machine
# is busy (-nowait_bog): on a virtual display reading the screen is cheap.
# Its window-move and scroll guesses (-nowf, -noscr) are for a window manager's frames, which
# Wine's desktop draws itself.
x11vnc -display "$DISPLAY" -localhost -rfbport "$port" -passwdfile "rm:$passfile" -forever \
  -shared -quiet -xd_area 0 -nonap -sb 0 -nowait_bog -nowf -noscr \
  -o "$root/build/x11vnc.log" >/dev/null 2>&1 &
started+=($!)

cat <<EOF
Korvanta runs on a virtual display ($DISPLAY).
Watch and use it with a VNC viewer on this machine: localhost:$port
  (from another machine: ssh -L $port:localhost:$port <this machine>, then localhost:$port)
Password for this run (every login until this script ends): $password
Closing Korvanta's window ends this script. Wine's messages go to $winelog.
EOF

# A desktop of Wine's own on the virtual display: window frames, a taskbar and the
# notification area, which a bare X server has none of. It ends with the program.
cmake/wine-run.sh explorer /desktop=Korvanta,1280x1024 "$exe" "$@" >>"$winelog" 2>&1 &
program=$!
started+=($program)

# A picture of the main window once it shows.
shot="$root/build/korvanta-main-window.png"
shown=0
for _ in $(seq 300); do
  id=$(xwininfo -root -tree 2>/dev/null | grep "\"Zarn's Korvanta Pro" | awk '{print $1}' | head -1 || true)
  # The window exists before it shows (and never shows under "/close").
  if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
    shown=1
    if ! command -v import >/dev/null 2>&1; then
      echo "No picture of the main window: ImageMagick's import is not installed."
      break
    fi
    sleep 6  # past the splash, the window painted (only the picture waits on this)
    if ! kill -0 "$program" 2>/dev/null; then
      echo "No picture of the main window: Korvanta ended before it was taken."
    elif import -window root "$shot" 2>/dev/null; then
      echo "Picture of the main window: $shot"
    else
      echo "No picture of the main window: the screen could not be read."
    fi
    break
  fi
  kill -0 "$program" 2>/dev/null || break
  sleep 0.2
done
if [ "$shown" = 0 ] && ! kill -0 "$program" 2>/dev/null; then
  wait "$program" || true
  # "/close" runs the command line and ends without a window, as it should.
  for arg in "$@"; do
    if [ "$(printf '%s' "$arg" | tr '[:upper:]' '[:lower:]')" = /close ]; then
      echo "Korvanta ran its command line and ended without a window (/close)."
      exit 0
    fi
  done
  start_failed
  exit 1
fi
[ "$shown" = 1 ] || echo "Korvanta's window has not shown after a minute (a message on the virtual" \
  "display may say why); Wine's messages: $winelog"

# Wine's desktop lingers a while after its last program: the script ends with Korvanta itself.
korvanta_running() { ps -eo args= | awk -v exe="$exe" '$1 == exe { found = 1 } END { exit !found }'; }
seen=0
while kill -0 "$program" 2>/dev/null; do
  if korvanta_running; then seen=1; elif [ "$seen" = 1 ]; then break; fi
  sleep 0.1
done
