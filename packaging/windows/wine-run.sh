#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine: CMake's CROSSCOMPILING_EMULATOR, so that
# ctest in the Windows build folder runs every test program under Wine. The DLLs come from the
# dependency cache and the compiler's runtime; Wine keeps its own prefix in the cache.
#   wine-run.sh PROGRAM.exe ARGS...
set -euo pipefail
cache=${TIDEWAKE_WINDOWS_CACHE:-$HOME/.cache/tidewake-windows}
export WINEPREFIX=${WINEPREFIX:-$cache/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs on the first start; and no debugger for a program that
# crashes, which then ends at once with its fault's address rather than waiting under ctest (run it
# by hand with WINEDLLOVERRIDES=mscoree,mshtml= for winedbg's backtrace).
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}
gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
dirs=("$cache/prefix/bin" /usr/x86_64-w64-mingw32/lib "$gcc_dlls")
winepath=
for d in "${dirs[@]}"; do winepath+="Z:${d//\//\\};"; done
export WINEPATH="$winepath${WINEPATH:-}"
# Qt's offscreen platform on Windows (the window tests) reads fonts from the one folder
# QT_QPA_FONTDIR names rather than from the system: the IPA fonts the card is laid out for, as the
# Linux tests see them. Wine does not pass QT_* variables from the Unix environment to a Windows
# program, so it goes into the user's environment in the prefix's registry, which Wine does pass.
ipa=/usr/share/fonts/opentype/ipafont-gothic
fontdir=${QT_QPA_FONTDIR:-Z:${ipa//\//\\}}
if [ ! -e "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w || true
fi
# The registry file keeps the value with its backslashes doubled.
if ! grep -qF "\"QT_QPA_FONTDIR\"=\"${fontdir//\\/\\\\}\"" "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ /d "$fontdir" /f >/dev/null 2>&1 || true
  wineserver -w || true
fi
exec wine "$@"
