#!/usr/bin/env bash
# Installs the Debian 12 packages Quorvel needs:
#   setup.sh run   building and running the program and the demo server
#   setup.sh test  that, and everything the tests need (the default)
#   setup.sh windows  what building for Windows and testing it under Wine needs
# Idempotent: when everything is present it says nothing and touches nothing.
set -euo pipefail

run_packages=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libcups2-dev
  librsvg2-bin
  fonts-liberation2 fonts-dejavu-core qt6-translations-l10n
)
test_packages=(
  git
  libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  cups cups-client cups-filters poppler-utils
  lintian desktop-file-utils appstream
  xvfb openbox trayer xdotool x11-utils imagemagick libxcb1-dev
  dbus at-spi2-core libatspi2.0-dev
  libreoffice-calc-nogui
)
windows_packages=(
  g++-mingw-w64-x86-64-posix dpkg-dev
  icoutils nsis zip
  wine64 wine
)

case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  windows) packages=("${run_packages[@]}" "${windows_packages[@]}") ;;
  *)
    echo "usage: $0 [run|test|windows]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them as root (there is no sudo here): apt-get install ${missing[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
