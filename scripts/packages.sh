# Installs the Debian packages the build needs, only those that are missing, as root or through
# sudo. Sourced by run.sh and test.sh, so a bare machine and a ready one take the same two commands.

tidewake_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  libarchive-dev qt6-svg-dev
  desktop-file-utils appstream dpkg-dev file
  fonts-ipafont-gothic qt6-translations-l10n
  libqt6sql6-sqlite libsqlite3-dev libeigen3-dev ccache
  libqcustomplot-dev
)

ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "These packages are missing and this user cannot install them (not root, no sudo): ${missing[*]}" >&2
      return 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
