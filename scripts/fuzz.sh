#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each one for a
# bounded time, starting from its committed seeds in fuzz/corpus/<target>.
# Any crash, sanitizer report, broken invariant, leak or slow input fails the
# run; the input that caused it is left in build/fuzz/findings/.
#   VORN_FUZZ_SECONDS  time per target (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${VORN_FUZZ_SECONDS:-30}"
targets=(settings_value command_line load_settings particles)
max_input_bytes=8192      # room for a settings file of many lines
slow_input_seconds=10     # one input running this long counts as a hang
memory_limit_mb=2048

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

findings=build/fuzz/findings
mkdir -p "$findings"
failed=()
for target in "${targets[@]}"; do
  work="build/fuzz/corpus/$target"   # what the run finds; the seeds stay untouched
  log="build/fuzz/$target.log"
  mkdir -p "$work"
  if build/fuzz/fuzz/"fuzz_$target" "$work" "fuzz/corpus/$target" \
      -max_total_time="$seconds" -max_len="$max_input_bytes" -timeout="$slow_input_seconds" \
      -rss_limit_mb="$memory_limit_mb" -artifact_prefix="$findings/$target-" \
      -print_final_stats=1 >"$log" 2>&1; then
    echo "fuzz: $target: $(grep -Eo 'Done [0-9]+ runs' "$log" | tail -1), no findings"
  else
    echo "fuzz: $target FAILED; the end of $log:" >&2
    tail -n 40 "$log" >&2
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs in $findings)" >&2
  exit 1
fi
echo "fuzz: ${#targets[@]} targets, ${seconds} s each, no findings"
