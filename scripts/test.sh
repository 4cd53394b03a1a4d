#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset, runs the
# unit tests and the end-to-end tests that drive Vorn.scr under Wine, then the
# reliability checks: the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets, and the static analysis.
# Every step runs even when one before it failed; the last line sums them up.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
scripts/build.sh

passed=()
failed=()
# step <name> <command...>: runs the command and records how it went.
step() {
  local name="$1" started=$SECONDS
  shift
  echo "=== $name"
  if "$@"; then
    passed+=("$name ($((SECONDS - started)) s)")
  else
    failed+=("$name ($((SECONDS - started)) s)")
  fi
}

sanitized_unit_tests() {
  cmake --preset native-asan >/dev/null &&
    cmake --build --preset native-asan &&
    ctest --preset native-asan --output-on-failure
}

step "unit and end-to-end tests" ctest --preset native --output-on-failure "$@"
step "unit tests under the sanitizers" sanitized_unit_tests
step "fuzzing" scripts/fuzz.sh
step "static analysis" scripts/static_analysis.sh

for name in "${passed[@]}"; do echo "test: passed: $name"; done
for name in "${failed[@]}"; do echo "test: FAILED: $name"; done
echo "steps: ${#passed[@]} passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
