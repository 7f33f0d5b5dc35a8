#!/usr/bin/env bash
# Pictures of every window under Xvfb at 1366x768 with 125 % scaling and at 1920x1080:
#   scripts/shots.sh [OUTPUT_DIR]     (default /tmp/prx5m-shots; build/ must be built)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-/tmp/prx5m-shots}"
run() { # size scale folder
  local display=":$((90 + RANDOM % 9))"
  Xvfb "$display" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
  local xvfb=$!
  sleep 1
  DISPLAY="$display" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$2" PRX5M_BUILD_DIR="$PWD/build" \
    PRX5M_SOURCE_DIR="$PWD" build/tests/shot_sheets "$out/$3" || true
  kill "$xvfb" 2>/dev/null || true
}
run 1366x768 1.25 1366x768-125
run 1920x1080 1 1920x1080
echo "pictures in $out"
