#!/usr/bin/env bash
# The release command: builds the three presets (scripts/build.sh; the win64
# one also makes the installer) and packs dist/Vorn-<version>-windows.zip:
#
#   Vorn.scr                   the 64-bit program
#   32-bit/Vorn.scr            the 32-bit program
#   Vorn-<version>-setup.exe   the per-user installer (64-bit)
#   README.txt                 the read-me for Windows users
#   SHA256SUMS.txt             checksums of the four files above
#
# The version is the one in the top CMakeLists.txt's project().
#
#   scripts/release.sh [--no-build] [--out DIR]
#     --no-build   pack what is already built
#     --out DIR    where the archive goes (default: dist)
# VORN_RELEASE_BUILD names the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

fail() { echo "release: $*" >&2; exit 1; }

build=1
out="$root/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --out) [ $# -ge 2 ] || fail "--out needs a folder"; out=$2; shift ;;
    *) echo "usage: scripts/release.sh [--no-build] [--out DIR]" >&2; exit 2 ;;
  esac
  shift
done
out=$(realpath -m "$out")
builds=$(realpath -m "${VORN_RELEASE_BUILD:-$root/build}")

version=$(sed -n 's/^project(Vorn VERSION \([0-9][0-9.]*\)[ )].*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no project(Vorn VERSION x.y.z) in CMakeLists.txt"
command -v zip >/dev/null || fail "zip is missing (scripts/bootstrap.sh installs it)"

if [ "$build" -eq 1 ]; then scripts/build.sh; fi

setup="Vorn-$version-setup.exe"
scr64="$builds/win64/Vorn.scr"
scr32="$builds/win32/Vorn.scr"
installer="$builds/win64/installer/$setup"
for file in "$scr64" "$scr32" "$installer"; do
  [ -f "$file" ] || fail "$file is missing: build first (scripts/build.sh; the installer needs makensis)"
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/32-bit"
cp "$scr64" "$stage/Vorn.scr"
cp "$scr32" "$stage/32-bit/Vorn.scr"
cp "$installer" "$stage/$setup"
# Windows line ends, so that every editor shows the lines.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' installer/README.txt >"$stage/README.txt"
contents=(Vorn.scr 32-bit/Vorn.scr "$setup" README.txt)
(cd "$stage" && sha256sum "${contents[@]}" >SHA256SUMS.txt)

archive="$out/Vorn-$version-windows.zip"
mkdir -p "$out"
rm -f "$archive"
(cd "$stage" && zip -q -X -D "$archive" "${contents[@]}" SHA256SUMS.txt)
echo "release: $archive"
