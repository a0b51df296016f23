#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when
# they are missing. Safe to run again: it does nothing once all are there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  libudev-dev
  gettext
  lrzsz
  clang libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev qt6-tools-dev-tools qt6-l10n-tools
  xvfb xauth
  srecord
  time
  psmisc
  dpkg-dev file man-db bash-completion lintian appstream desktop-file-utils
  # The Windows build: mingw-w64 with the POSIX thread model (its windres
  # also compiles the string tables of the Linux tests), googletest's
  # sources for the cross compiler, and 64-bit wine to run the tests.
  binutils-mingw-w64-x86-64
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest
  wine wine64
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
