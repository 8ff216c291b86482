#!/usr/bin/env bash
# Builds Tidewake for 64-bit Windows on a Debian machine, by cross-compiling with mingw-w64, and packs
# tidewake-<version>-win64.zip and tidewake-<version>-win64-setup.exe (NSIS) in the build folder.
#
#   packaging/windows/build.sh [--deps-only] [--test] [--smoke]
#
#   --deps-only  stop once the dependencies are in the cache
#   --test       then run the test programs under Wine with the real data (packaging/windows/wine-test.sh)
#   --smoke      then start tidewake.exe under Xvfb + Wine on a real day and take screenshots
#
# The dependencies (Qt's Core, Gui, Widgets, Sql and Test with the SQLite driver and the windows
# platform plugin, ICU, SQLite, libarchive, GoogleTest, QCustomPlot) are built from Debian's source
# packages into a cache folder outside the clone, reused by the next run:
#   TIDEWAKE_WINDOWS_CACHE   default $HOME/.cache/tidewake-windows
#   TIDEWAKE_WINDOWS_BUILD   the program's build folder, default build-windows in the clone
# Long builds run at the lowest priority; JOBS (default: the number of processors) sets the parallelism.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cache=${TIDEWAKE_WINDOWS_CACHE:-$HOME/.cache/tidewake-windows}
out=${TIDEWAKE_WINDOWS_BUILD:-$root/build-windows}
jobs=${JOBS:-$(nproc)}
deps_only=0 run_tests=0 run_smoke=0
for arg in "$@"; do
  case $arg in
    --deps-only) deps_only=1 ;;
    --test) run_tests=1 ;;
    --smoke) run_smoke=1 ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

prefix=$cache/prefix
toolchain=$here/mingw-w64.cmake
mingw=x86_64-w64-mingw32
export TIDEWAKE_WINDOWS_PREFIX=$prefix
# pkg-config must never hand this machine's own libraries to a Windows build.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
unset PKG_CONFIG_SYSROOT_DIR
mkdir -p "$cache"/{downloads,src,build,stamps} "$prefix"

log() { printf '\n== %s: %s\n' "$(date +%H:%M:%S)" "$*"; }
started=$(date +%s)

# --- Debian packages: the cross compilers, Wine, NSIS, the host Qt tools and the build tools. ---
. "$root/scripts/packages.sh"
windows_packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64 libz-mingw-w64-dev dpkg-dev
  wine wine64 nsis zip unzip icoutils tcl
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libgtest-dev libeigen3-dev
  cmake ninja-build pkg-config g++ ccache
  xvfb xauth openbox xdotool imagemagick fonts-noto-cjk
)
# The Linux build's own packages too: the icon is drawn by a build for this machine.
ensure_packages "${tidewake_packages[@]}" "${windows_packages[@]}"

# --- Debian source packages. bookworm's deb-src beside the machine's own list, same archive. ---
src_list=/etc/apt/sources.list.d/tidewake-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  uri=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
  cat >"$src_list" <<EOF
Types: deb-src
URIs: ${uri:-http://deb.debian.org/debian}
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  apt-get update -qq
fi

# The source package's unpacked folder (Debian's patches applied), fetched once into the cache.
source_dir() {
  local pkg=$1 dsc dir
  dsc=$(ls "$cache/downloads/${pkg}"_*.dsc 2>/dev/null | head -1 || true)
  if [ -z "$dsc" ]; then
    (cd "$cache/downloads" && apt-get source --download-only -qq "$pkg" >&2)
    dsc=$(ls "$cache/downloads/${pkg}"_*.dsc | head -1)
  fi
  local version
  version=$(sed -n 's/^Version: *//p' "$dsc" | head -1)
  version=${version#*:}
  dir=$cache/src/$pkg-${version%-*}
  if [ ! -d "$dir" ]; then
    (cd "$cache/src" && dpkg-source -q -x --no-copy "$dsc" "$dir" >&2)
  fi
  echo "$dir"
}

# A stage runs once; its stamp names the recipe's version, so a changed recipe builds again. Its
# unpacked source goes once it is done (the downloads stay, to unpack again).
done_stamp() { [ -e "$cache/stamps/$1" ]; }
stamp() {
  touch "$cache/stamps/$1"
  [ -n "${2:-}" ] && rm -rf "$2"
  return 0
}

cross_cmake=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix")
# Qt's host tools (moc, rcc, uic...) are Debian's own, the same version as the Qt cross-built.
qt_host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake)

# --- SQLite: the amalgamation made from the source package, built as sqlite3.dll. ---
if ! done_stamp sqlite-1; then
  log "SQLite"
  s=$(source_dir sqlite3)
  b=$cache/build/sqlite3
  rm -rf "$b" && mkdir -p "$b"
  (cd "$b" && "$s/configure" --quiet >/dev/null && make -s sqlite3.c sqlite3.h sqlite3ext.h >/dev/null)
  flags=(-O2 -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_RTREE -DSQLITE_THREADSAFE=1
    -DSQLITE_API=__declspec\(dllexport\))
  nice -n 19 $mingw-gcc-posix "${flags[@]}" -shared -o "$b/libsqlite3-0.dll" "$b/sqlite3.c" \
    -Wl,--out-implib,"$b/libsqlite3.dll.a"
  mkdir -p "$prefix"/{bin,lib,include,licenses/sqlite}
  cp "$b/libsqlite3-0.dll" "$prefix/bin/"
  cp "$b/libsqlite3.dll.a" "$prefix/lib/"
  cp "$b/sqlite3.h" "$b/sqlite3ext.h" "$prefix/include/"
  cp "$s/debian/copyright" "$prefix/licenses/sqlite/copyright"
  stamp sqlite-1 "$s"
fi

# --- ICU: Qt's Shift_JIS (code page 932) converter. A cross build of ICU needs a build of its
# tools for this machine first; only their output is used. ---
if ! done_stamp icu-1; then
  log "ICU"
  s=$(source_dir icu)/source
  nb=$cache/build/icu-native xb=$cache/build/icu-mingw
  rm -rf "$nb" "$xb" && mkdir -p "$nb" "$xb"
  (cd "$nb" && "$s/configure" --quiet --disable-tests --disable-samples --disable-extras >/dev/null &&
    nice -n 19 make -s -j"$jobs" >/dev/null)
  (cd "$xb" && "$s/configure" --quiet --host=$mingw --with-cross-build="$nb" --prefix="$prefix" \
    --disable-tests --disable-samples --disable-extras --disable-tools --enable-shared --disable-static \
    CC=$mingw-gcc-posix CXX=$mingw-g++-posix >/dev/null &&
    nice -n 19 make -s -j"$jobs" >/dev/null && make -s install >/dev/null)
  mkdir -p "$prefix/licenses/icu"
  cp "$s/../LICENSE" "$prefix/licenses/icu/LICENSE"
  rm -rf "$nb" "$xb"
  stamp icu-1 "$s/.."
fi

# --- libarchive with its LHA and ZIP readers (zlib from Debian's mingw build). ---
if ! done_stamp libarchive-2; then
  log "libarchive"
  s=$(source_dir libarchive)
  b=$cache/build/libarchive
  rm -rf "$b"
  zlib=/usr/$mingw/lib/libz.dll.a
  # CMake crashes on the check that would run a zlib test program here; its answer is known:
  # Debian's zlib1.dll is not built with ZLIB_WINAPI.
  cmake -S "$s" -B "$b" "${cross_cmake[@]}" -DZLIB_WINAPI=OFF -DZLIB_WINAPI_WITH_LIB="$zlib" \
    -DZLIB_LIBRARY="$zlib" -DZLIB_INCLUDE_DIR=/usr/$mingw/include \
    -DENABLE_ZLIB=ON -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF -DENABLE_LIBB2=OFF \
    -DENABLE_LZ4=OFF -DENABLE_LZO=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_BZip2=OFF \
    -DENABLE_LIBXML2=OFF -DENABLE_EXPAT=OFF -DENABLE_PCREPOSIX=OFF -DENABLE_CNG=OFF -DENABLE_ICONV=OFF \
    -DENABLE_TAR=OFF -DENABLE_CPIO=OFF -DENABLE_CAT=OFF -DENABLE_TEST=OFF -DENABLE_ACL=OFF -DENABLE_XATTR=OFF \
    -DENABLE_INSTALL=ON >"$cache/build/libarchive.configure.log"
  grep -q '^#define HAVE_ZLIB_H 1' "$b/config.h" || { echo "libarchive without zlib: ZIP would not read" >&2; exit 1; }
  nice -n 19 cmake --build "$b" -j"$jobs" >/dev/null
  cmake --install "$b" >/dev/null
  mkdir -p "$prefix/licenses/libarchive"
  cp "$s/COPYING" "$prefix/licenses/libarchive/COPYING"
  stamp libarchive-2 "$s"
fi

# --- Qt: only the modules the program uses (PrintSupport for QCustomPlot). The host tools (moc, rcc, uic...) are Debian's, the
# same version. Configured with the features Qt's own Windows builds keep (OpenGL, DirectWrite);
# tablet support off (Debian's repack removed its header). ---
if ! done_stamp qtbase-1; then
  log "Qt (about an hour of processor time)"
  s=$(source_dir qt6-base)
  # The build folder is kept until the stage is done: a run stopped part-way goes on from there.
  b=$cache/build/qtbase
  cmake -S "$s" -B "$b" "${cross_cmake[@]}" "${qt_host[@]}" -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_icu=ON -DFEATURE_system_sqlite=ON -DFEATURE_sql_sqlite=ON \
    -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_oci=OFF \
    -DFEATURE_sql_db2=OFF -DFEATURE_sql_ibase=OFF -DFEATURE_sql_mimer=OFF \
    -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_jpeg=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF -DFEATURE_openssl=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    >"$cache/build/qtbase.configure.log"
  nice -n 19 cmake --build "$b" -j"$jobs" >"$cache/build/qtbase.build.log"
  cmake --install "$b" >/dev/null
  mkdir -p "$prefix/licenses/qt"
  cp "$s"/LICENSES/LGPL-3.0-only.txt "$s"/LICENSES/GPL-3.0-only.txt "$prefix/licenses/qt/" 2>/dev/null ||
    cp "$s"/LICENSE.LGPL3 "$s"/LICENSE.GPL3 "$prefix/licenses/qt/"
  cp "$s/debian/copyright" "$prefix/licenses/qt/copyright"
  rm -rf "$b"
  stamp qtbase-1 "$s"
fi

# --- QCustomPlot (the charts), with the CMake config Debian's package gives the Linux build:
# find_package(QCustomPlotQt6) finds it in the cache. ---
if ! done_stamp qcustomplot-1; then
  log "QCustomPlot"
  s=$(source_dir qcustomplot)
  b=$cache/build/qcustomplot
  rm -rf "$b"
  cmake -S "$s" -B "$b" "${cross_cmake[@]}" "${qt_host[@]}" -DUSE_QT_VERSION=6 >"$cache/build/qcustomplot.configure.log"
  nice -n 19 cmake --build "$b" -j"$jobs" >/dev/null
  cmake --install "$b" >/dev/null
  mkdir -p "$prefix/licenses/qcustomplot"
  cp "$s/GPL.txt" "$prefix/licenses/qcustomplot/GPL.txt"
  rm -rf "$b"
  stamp qcustomplot-1 "$s"
fi

# --- GoogleTest for the test programs, from the source Debian's libgtest-dev ships. ---
if ! done_stamp googletest-1; then
  log "GoogleTest"
  b=$cache/build/googletest
  rm -rf "$b"
  cmake -S /usr/src/googletest -B "$b" "${cross_cmake[@]}" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON \
    -DINSTALL_GTEST=ON >/dev/null
  nice -n 19 cmake --build "$b" -j"$jobs" >/dev/null
  cmake --install "$b" >/dev/null
  rm -rf "$b"
  stamp googletest-1
fi

rm -rf "${cache:?}/src" "${cache:?}/build"
log "dependencies ready in $cache ($(du -sh "$cache" | cut -f1))"
[ $deps_only = 1 ] && exit 0

# Qt's own Japanese for the standard dialogs: data, taken from Debian's qt6-translations-l10n (its
# source cannot be fetched here).
mkdir -p "$prefix/translations"
cp /usr/share/qt6/translations/qtbase_ja.qm "$prefix/translations/"

# --- The icon's PNGs, drawn from its SVG by the program's own renderer in a build for this
# machine (Qt Svg cannot be cross-built here: its source is not to be had). ---
log "the icon (host build)"
host=$out/host
cmake -S "$root" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTIDEWAKE_BENCH=OFF \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
nice -n 19 cmake --build "$host" -j"$jobs" --target tidewake_icons >/dev/null

# --- The program and its test programs, by the project's own CMake. ---
log "the program"
build=$out/build
cmake -S "$root" -B "$build" "${cross_cmake[@]}" -DCMAKE_INSTALL_PREFIX=/ "${qt_host[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  -DTIDEWAKE_BENCH=OFF -DTIDEWAKE_ICON_PNG_DIR="$host/packaging/icons" -DEigen3_DIR=/usr/share/eigen3/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh" >"$out/configure.log"
nice -n 19 cmake --build "$build" -j"$jobs" >"$out/build.log" || { tail -40 "$out/build.log"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# --- The portable folder: the executables, the DLLs they load (found by following their imports),
# Qt's plugins, Qt's Japanese, the licences. ---
log "the portable folder"
name=tidewake-$version-win64
stage=$out/$name
rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" >/dev/null
mkdir -p "$stage"/{platforms,sqldrivers,styles,translations,licenses}
cp "$prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$prefix/plugins/sqldrivers/qsqlite.dll" "$stage/sqldrivers/"
cp "$prefix/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "$prefix/translations/qtbase_ja.qm" "$stage/translations/"
cp -r "$prefix/licenses/." "$stage/licenses/"
printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' >"$stage/qt.conf"
"$here/deploy-dlls.sh" "$stage" "$prefix/bin" /usr/$mingw/lib "$(dirname "$($mingw-g++-posix -print-libgcc-file-name)")"
# Printing (QCustomPlot's PDF and printer output) needs its plugin once the program links it.
if [ -e "$stage/Qt6PrintSupport.dll" ] && [ -d "$prefix/plugins/printsupport" ]; then
  cp -r "$prefix/plugins/printsupport" "$stage/"
fi
find "$stage" \( -name '*.dll' -o -name '*.exe' \) -exec $mingw-strip --strip-unneeded {} +

rm -f "$out/$name.zip"
(cd "$out" && zip -qr9 "$name.zip" "$name")
log "the installer"
# The uninstaller removes exactly the files the installer laid down (nothing a user put there).
{
  (cd "$stage" && find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|')
  (cd "$stage" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|')
} >"$stage.uninstall.nsh"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/$name-setup.exe" \
  -DICON="$build/packaging/tidewake.ico" "$here/tidewake.nsi"

elapsed=$(($(date +%s) - started))
log "done in $((elapsed / 60)) min $((elapsed % 60)) s: $out/$name.zip ($(du -h "$out/$name.zip" | cut -f1)), $out/$name-setup.exe ($(du -h "$out/$name-setup.exe" | cut -f1)); cache $(du -sh "$cache" | cut -f1)"

if [ $run_tests = 1 ]; then
  "$here/installer-test.sh" "$out/$name-setup.exe"
  "$here/wine-test.sh" "$build"
fi
if [ $run_smoke = 1 ]; then "$here/smoke.sh" "$stage"; fi
