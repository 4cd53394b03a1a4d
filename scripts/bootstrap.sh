#!/usr/bin/env bash
# Installs what building and testing Vorn needs on Debian, skipping what is
# already there. Runs as root, or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools
  wine wine64            # 64-bit Wine only: this machine's kernel runs no 32-bit programs
  xvfb xauth x11-utils xdotool
  tigervnc-standalone-server  # Xvnc: several monitors, as RandR outputs that Wine reads
  python3-pytest python3-xlib python3-numpy python3-pil  # the end-to-end tests
  fonts-ipafont-gothic   # renders the dialog's Japanese captions
  imagemagick file
  libpng-dev icoutils    # the art tool writes PNG with libpng; icotool makes the icon and cursor
  nsis zip unzip         # the installer and the release archive
  clang libclang-rt-14-dev  # the fuzz targets (libFuzzer and the sanitizer runtimes)
  clang-tidy cppcheck    # the static analysis
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "bootstrap: everything needed is installed"
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "bootstrap: run as root or install sudo" >&2; exit 1; }
  as_root=(sudo)
fi

echo "bootstrap: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
