#!/usr/bin/env bash
# Builds the three presets in order: the native build renders the art that
# the Windows builds embed.
set -euo pipefail
cd "$(dirname "$0")/.."

for preset in native win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
