#!/usr/bin/env bash
# Installs the NSIS installer silently under Wine in a fresh prefix, checks what it laid down
# (the program, the Start-menu shortcut, the uninstall entry), starts the installed console tool,
# then uninstalls silently and checks that nothing of the installer's is left and that a file of
# the user's in the folder is kept.
#   installer-test.sh SETUP.exe
set -euo pipefail
setup=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
day=$(cd "$here/../../../shared/data/B" && pwd)/b240101.txt
cache=${TIDEWAKE_WINDOWS_CACHE:-$HOME/.cache/tidewake-windows}
export WINEPREFIX=$cache/wine-installer WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1 || true
wineserver -w
users=$WINEPREFIX/drive_c/users/$(ls "$WINEPREFIX/drive_c/users" | grep -v Public | head -1)
dir=$users/AppData/Local/Programs/Tidewake
link="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Corvane Tidewake.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\CorvaneTidewake'
fail() { echo "installer test FAILED: $*" >&2; exit 1; }

wine "$setup" /S
wineserver -w
[ -x "$dir/tidewake.exe" ] || fail "no tidewake.exe in $dir"
[ -e "$dir/platforms/qwindows.dll" ] || fail "no platform plugin"
[ -e "$link" ] || fail "no Start-menu shortcut"
wine reg query "$key" 2>/dev/null | grep -q QuietUninstallString || fail "no uninstall entry"
# The installed console tool runs with the DLLs beside it, and keeps its database in the user's
# local application data folder (made by the first import: reading commands never make one).
(cd /tmp && wine "$dir/tidewake-history.exe" import "$(winepath -w "$day")") >/dev/null 2>&1 || true
wineserver -w
[ -e "$users/AppData/Local/tidewake/RIREKI.DB" ] || fail "the history is not in the local application data folder"
echo "user's own" >"$dir/notes.txt"

wine "$dir/uninstall.exe" /S
wineserver -w
sleep 2
[ ! -e "$dir/tidewake.exe" ] || fail "tidewake.exe left after uninstall"
[ ! -e "$dir/platforms" ] || fail "plugins left after uninstall"
[ ! -e "$link" ] || fail "shortcut left after uninstall"
! wine reg query "$key" >/dev/null 2>&1 || fail "uninstall entry left"
[ -e "$dir/notes.txt" ] || fail "the user's own file was removed"
[ -e "$users/AppData/Local/tidewake/RIREKI.DB" ] || fail "the user's history was removed"
echo "installer test passed: silent install, shortcut, uninstall entry, silent uninstall"
