#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset, then runs
# the unit tests and the end-to-end tests that drive Vorn.scr under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
scripts/build.sh
ctest --preset native --output-on-failure "$@"
