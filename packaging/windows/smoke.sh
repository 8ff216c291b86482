#!/usr/bin/env bash
# A smoke run of the packed program under Xvfb + Wine, as a user would meet it: start
# tidewake.exe from the portable folder, open a real day's programme archive (Ctrl+O) and its
# results archive (Ctrl+K), and take screenshots of the card and the results window. Checks that
# the stores were made under the user's local application data folder.
#   smoke.sh PORTABLE_FOLDER [SCREENSHOT_FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
stage=$(cd "$1" && pwd)
shots=${2:-$stage/../smoke}
data=$(cd "$here/../../../shared/data" && pwd)
cache=${TIDEWAKE_WINDOWS_CACHE:-$HOME/.cache/tidewake-windows}
mkdir -p "$shots"
# A Wine prefix of its own, new each run: the program starts as on a fresh Windows user.
export WINEPREFIX=$cache/wine-smoke WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
rm -rf "$WINEPREFIX"
display=:${SMOKE_DISPLAY:-97}
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
sleep 2
openbox >/dev/null 2>&1 &
pids+=($!)
wineboot --init >/dev/null 2>&1 || true
wineserver -w || true
# SMOKE_DPI=144 runs it as on a 150 % Windows display (Qt scales the window by Windows' DPI).
dpi=${SMOKE_DPI:-96}
if [ "$dpi" != 96 ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w || true
fi

# Waits for a window whose title matches, for up to $2 seconds; prints its id.
wait_window() {
  local i
  for ((i = 0; i < $2 * 2; i++)); do
    if id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1) && [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.5
  done
  echo "no window '$1' after $2 s" >&2
  return 1
}
# Chooses a file in the program's open dialog: its name field takes a whole path.
choose() {
  local dialog
  dialog=$(wait_window "$1" 60)
  xdotool windowactivate --sync "$dialog" 2>/dev/null || true
  sleep 1
  xdotool type --delay 20 "$2"
  sleep 1
  if [ -n "${3:-}" ]; then shot "$3"; fi
  xdotool key Return
}
shot() { import -window root "$shots/${1%.png}-$dpi.png"; echo "screenshot: $shots/${1%.png}-$dpi.png"; }

store=$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/tidewake
# Waits until the program has written $1 in the user's store folder, for up to $2 seconds,
# closing with OK any box it shows on the way (a new user first hears that no fan handbook is
# registered). The boxes bear the main window's title; they are the windows other than $main.
# Done when the file is there and no box has come for 3 s.
wait_store() {
  local i box quiet=0
  for ((i = 0; i < $2 * 2; i++)); do
    box=$(xdotool search --onlyvisible --name '^Corvane Tidewake$' 2>/dev/null | grep -vx "$main" | head -1) || true
    if [ -n "$box" ]; then
      echo "closing a box: $(xdotool getwindowname "$box" 2>/dev/null)"
      xdotool windowactivate --sync "$box" 2>/dev/null || true
      xdotool key Return
      quiet=0
    elif [ -s "$store/$1" ]; then
      quiet=$((quiet + 1))
      [ $quiet -lt 6 ] || return 0
    fi
    sleep 0.5
  done
  echo "no $store/$1 after $2 s" >&2
  return 1
}

(cd "$stage" && exec wine tidewake.exe) >"$shots/tidewake.log" 2>&1 &
pids+=($!)
main=$(wait_window "Corvane Tidewake" 120 | head -1)
sleep 3
shot start.png

xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool key ctrl+o
choose "ファイルを開く" "Z:${data//\//\\}\\lzh\\b240101.lzh" dialog.png
wait_store BANGUMI.BRF 180
# The card is drawn once the store is written; a moment for the paint.
sleep 3
xdotool windowactivate --sync "$main" 2>/dev/null || true
shot card.png

xdotool key ctrl+k
choose "ファイルを開く" "Z:${data//\//\\}\\lzh\\k240101.lzh"
wait_store KEKKA.BRF 180
wait_window "レース結果" 60 >/dev/null
sleep 3
shot results.png

# The stores of an installed program (a folder with Qt's plugins) are in the user's local
# application data folder, under the program's name.
echo "stores: $(ls "$store" 2>/dev/null | tr '\n' ' ')"
for f in BANGUMI.BRF KEKKA.BRF RIREKI.DB; do
  [ -s "$store/$f" ] || { echo "missing: $store/$f" >&2; exit 1; }
done
echo "smoke run passed"
