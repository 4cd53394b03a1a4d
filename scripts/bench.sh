#!/usr/bin/env bash
# The benchmarks: builds the native and win64 presets, then measures the
# software raster (Google Benchmark) and, under Wine on private Xvfb screens,
# the saver's frame cycle, the paced saver, start-up and exit, memory and the
# settings dialog, each against its yardstick in the same run. Prints the
# tables that docs/performance.md records. Takes about ten minutes.
#
#   scripts/bench.sh            everything
#   scripts/bench.sh --quick    short spans, one round: checks that it all runs
#
# Other arguments go to bench/wine/wine_bench.py (--rounds N,
# --only throughput,paced,start,memory,dialog).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
for preset in native win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

repetitions=10
if [ "${1:-}" = "--quick" ]; then repetitions=2; fi

echo
echo "== software raster, 1920x1080: clear + 400 OR-blits (32x64) + copy, against memset + memcpy;"
echo "   then at 1920x1080 and 3840x2160 the clear and copy limited to what changed (ChangedFrame);"
echo "   the last argument: the untimed wait between two frames (PacedFloor waits as well)"
build/native/bench/raster_bench --benchmark_repetitions="$repetitions" \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
  --benchmark_color=false

echo
echo "== under Wine (build/win64/Vorn.scr and build/win64/bench/win32)"
/usr/bin/python3 bench/wine/wine_bench.py "$@"  # Debian's, with python3-xlib
