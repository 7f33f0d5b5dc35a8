#!/usr/bin/env bash
# Times the batch PDF mode on a full 220-room sheet (ten pages) and on 220 CEC/L zones: wall time
# and peak memory.
#   bench/bench_batch.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# 220 rooms: the example's 30 rooms repeated down the sheet, headings kept in row 221.
python3 - "$work/full.syw" <<'PY'
import sys
rows = open('examples/office-3f.syw', 'rb').read().split(b'\r\n')[:221]
rooms = [r for r in rows[:220] if r.startswith(b'1,')]
out = [rooms[i % len(rooms)] for i in range(220)] + [rows[220]]
open(sys.argv[1], 'wb').write(b'\r\n'.join(out) + b'\r\n')
PY
# 220 zones: the CEC/L example's 30 zones repeated, its options kept in row 221.
python3 - "$work/full-cecl.syw" <<'PY'
import sys
rows = open('examples/office-3f-cecl.syw', 'rb').read().split(b'\r\n')[:221]
zones = [r for r in rows[:220] if r.startswith(b'1,')]
out = [zones[i % len(zones)] for i in range(220)] + [rows[220]]
open(sys.argv[1], 'wb').write(b'\r\n'.join(out) + b'\r\n')
PY
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"
for i in 1 2 3; do
  /usr/bin/time -f "run $i: %e s wall, %M KB peak" "$build/prx5m" --pdf illuminance "$work/full.syw" "$work/full.pdf"
done
pdfinfo "$work/full.pdf" | grep Pages
for i in 1 2 3; do
  /usr/bin/time -f "cecl run $i: %e s wall, %M KB peak" "$build/prx5m" --pdf cecl "$work/full-cecl.syw" "$work/full-cecl.pdf"
done
pdfinfo "$work/full-cecl.pdf" | grep Pages
