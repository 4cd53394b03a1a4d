#!/usr/bin/env bash
# The release archive: runs scripts/release.sh --no-build into a temporary
# folder and checks what a user unpacks: the five files and nothing else, the
# 64-bit and 32-bit programs as built, the installer, a read-me with Windows
# line ends and checksums that match.
#
#   release_zip_test.sh <source dir> <version>
# VORN_RELEASE_BUILD (the build folder, default <source dir>/build) is passed on.
set -euo pipefail
source_dir=$1
version=$2
builds=${VORN_RELEASE_BUILD:-$source_dir/build}
setup="Vorn-$version-setup.exe"

failures=0
check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! "$source_dir/scripts/release.sh" --no-build --out "$work/dist" >"$work/release.log" 2>&1; then
  cat "$work/release.log"
  echo "FAILED: scripts/release.sh --no-build"
  exit 1
fi
archive="$work/dist/Vorn-$version-windows.zip"
[ -f "$archive" ] || { echo "FAILED: no $archive"; ls -l "$work/dist"; exit 1; }

unzip -l "$archive"
listed=$(unzip -Z1 "$archive" | sort)
expected=$(printf '%s\n' Vorn.scr 32-bit/Vorn.scr "$setup" README.txt SHA256SUMS.txt | sort)
check "the archive holds exactly the five files" [ "$listed" = "$expected" ]

unzip -q "$archive" -d "$work/unpacked"
cd "$work/unpacked"
check "Vorn.scr is the 64-bit build" cmp -s Vorn.scr "$builds/win64/Vorn.scr"
check "32-bit/Vorn.scr is the 32-bit build" cmp -s 32-bit/Vorn.scr "$builds/win32/Vorn.scr"
check "the installer is the one built" cmp -s "$setup" "$builds/win64/installer/$setup"
check "Vorn.scr is a 64-bit Windows program" grep -q 'PE32+ executable.*x86-64' <(file -b Vorn.scr)
check "32-bit/Vorn.scr is a 32-bit Windows program" grep -q '^PE32 executable.*80386' <(file -b 32-bit/Vorn.scr)
check "the installer is a 64-bit Windows program" grep -q 'PE32+ executable.*x86-64' <(file -b "$setup")
check "the checksums match" sha256sum --quiet -c SHA256SUMS.txt
summed=$(awk '{print $2}' SHA256SUMS.txt | sort)
check "the checksums cover the four other files" \
  [ "$summed" = "$(printf '%s\n' Vorn.scr 32-bit/Vorn.scr "$setup" README.txt | sort)" ]
check "README.txt names this version" grep -q "Vorn $version" README.txt
check "README.txt names the installer" grep -q "$setup" README.txt
no_placeholder() { ! grep -q '@[A-Z]*@' README.txt; }
check "README.txt has no placeholder left" no_placeholder
crlf_everywhere() { [ "$(grep -c $'\r$' README.txt)" -eq "$(wc -l <README.txt)" ]; }
check "every line of README.txt ends in CR LF" crlf_everywhere

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "the release archive is complete"
