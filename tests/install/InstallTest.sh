#!/usr/bin/env bash
# Checks the installed program: `InstallTest.sh files <build> <prefix> <relative path>...` installs
# the build into a fresh <prefix> and checks every listed file is there; `desktop <prefix> <file>`
# and `appstream <prefix> <file>` run the desktop and AppStream validators on an installed file,
# and skip (exit 77) when the validator is not installed; `deb <build> <out>` packs the build with
# cpack and checks the package's fields and files; `history <prefix> <shared data>` imports with
# the installed console program and finds the history in the window's per-user folder.
set -euo pipefail
mode=$1
shift
case "$mode" in
  files)
    build=$1 prefix=$2
    shift 2
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    missing=0
    for f in "$@"; do
      if [ ! -s "$prefix/$f" ]; then
        echo "missing or empty after install: $f" >&2
        missing=1
      fi
    done
    [ -x "$prefix/bin/tidewake" ] || { echo "the program is not executable" >&2; missing=1; }
    [ $missing -eq 0 ] && echo "installed: $*"
    exit $missing
    ;;
  desktop)
    command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate not installed (Debian desktop-file-utils): skipped"; exit 77; }
    out=$(desktop-file-validate "$1/$2" 2>&1) || { echo "$out" >&2; exit 1; }
    # It reports hints on success too; none is expected.
    [ -z "$out" ] || { echo "$out" >&2; exit 1; }
    echo "desktop-file-validate: $2 is valid"
    ;;
  appstream)
    command -v appstreamcli >/dev/null || { echo "appstreamcli not installed (Debian appstream): skipped"; exit 77; }
    appstreamcli validate --no-net --pedantic "$1/$2"
    ;;
  history)
    # The installed console program and the window keep one history: an import from a terminal
    # goes to the window's per-user folder (~/.local/share/tidewake), and no second folder is made.
    prefix=$1 data=$2
    [ -f "$data/year/b220701.lzh" ] || { echo "sample files not found ($data/year): skipped"; exit 77; }
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    export HOME="$home" XDG_DATA_HOME="$home/share" XDG_CONFIG_HOME="$home/config"
    "$prefix/bin/tidewake-history" import "$data/year/b220701.lzh" "$data/year/k220701.lzh" >/dev/null
    db="$XDG_DATA_HOME/tidewake/RIREKI.DB"
    [ -s "$db" ] || { echo "the history is not in the window's folder $XDG_DATA_HOME/tidewake:" >&2; find "$home" >&2; exit 1; }
    # The window, started as installed, keeps its files in that folder too.
    QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/tidewake" >/dev/null 2>&1 || true
    folders=$(ls "$XDG_DATA_HOME")
    [ "$folders" = tidewake ] || { echo "per-user folders made: $folders" >&2; exit 1; }
    "$prefix/bin/tidewake-history" stats | grep -qx '日数 1' || { echo "stats does not read the day back" >&2; exit 1; }
    echo "one history in $XDG_DATA_HOME/tidewake"
    ;;
  deb)
    build=$1 out=$2
    command -v dpkg-shlibdeps >/dev/null || { echo "dpkg-shlibdeps not installed (Debian dpkg-dev): skipped"; exit 77; }
    rm -rf "$out"
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out.log" 2>&1 || { cat "$out.log" >&2; exit 1; }
    debs=("$out"/tidewake_*.deb)
    [ -f "${debs[0]}" ] || { echo "no tidewake_*.deb in $out" >&2; exit 1; }
    deb=${debs[0]}
    fail=0
    field() { dpkg-deb -f "$deb" "$1"; }
    expect() {  # field, text it must contain
      case "$(field "$1")" in
        *"$2"*) ;;
        *) echo "$1 lacks $2: $(field "$1")" >&2; fail=1 ;;
      esac
    }
    [ -n "$(field Maintainer)" ] || { echo "no Maintainer" >&2; fail=1; }
    expect Depends libqt6core6      # found by dpkg-shlibdeps
    expect Depends qt6-qpa-plugins  # loaded, not linked
    expect Depends libqcustomplot   # the analysis pages' charts, found by dpkg-shlibdeps
    expect Recommends fonts-ipafont-gothic
    contents=$(dpkg-deb -c "$deb")
    for f in ./usr/bin/tidewake ./usr/share/applications/ ./usr/share/metainfo/ ./usr/share/icons/hicolor/scalable/apps/; do
      grep -q " $f" <<<"$contents" || { echo "the package lacks $f" >&2; fail=1; }
    done
    [ $fail -eq 0 ] && echo "$(basename "$deb"): Maintainer, Depends $(field Depends), Recommends $(field Recommends)"
    exit $fail
    ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
