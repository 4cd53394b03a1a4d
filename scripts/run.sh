#!/usr/bin/env bash
# The run command: installs what is missing, builds, and shows the saver
# (Vorn.scr /s) under Wine. On the current X display it runs until you press a
# key or click; with no display it runs on a private virtual one for a few
# seconds and leaves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/bootstrap.sh
for preset in native win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
scr="$root/build/win64/Vorn.scr"
export WINEDEBUG=${WINEDEBUG:--all}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run: Vorn.scr /s on display $DISPLAY; press a key or click to end it"
  wine "$scr" /s
  exit $?
fi

seconds=${VORN_RUN_SECONDS:-6}
run_dir="$root/build/run"
shot="$run_dir/vorn-saver.png"
mkdir -p "$run_dir"
rm -f "$shot"

# A private display and Wine prefix, both ended by process id on the way out.
display_number=$(( $$ % 400 + 100 ))
while [ -e "/tmp/.X11-unix/X$display_number" ] || [ -e "/tmp/.X$display_number-lock" ]; do
  display_number=$(( display_number + 1 ))
done
export DISPLAY=":$display_number"
export WINEPREFIX="$run_dir/wineprefix"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
saver_pid=""
cleanup() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "run: the virtual display did not start" >&2; exit 1; }
[ -d "$WINEPREFIX" ] || { echo "run: preparing a Wine prefix (once)"; wineboot -i >/dev/null 2>&1; }

echo "run: no display; showing Vorn.scr /s on a virtual one for $seconds s"
wine "$scr" /s &
saver_pid=$!
sleep "$seconds"
if ! kill -0 "$saver_pid" 2>/dev/null; then
  wait "$saver_pid" || true
  echo "run: Vorn.scr ended before the screenshot" >&2
  exit 1
fi
import -window root "$shot"
xdotool key space
for _ in $(seq 50); do kill -0 "$saver_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$saver_pid" 2>/dev/null; then
  echo "run: the saver did not end on a key press" >&2
  exit 1
fi
status=0
wait "$saver_pid" || status=$?
saver_pid=""
if [ "$status" -ne 0 ]; then
  echo "run: Vorn.scr exited with status $status" >&2
  exit 1
fi
echo "run: the saver ran and ended on a key press; screenshot: $shot"
