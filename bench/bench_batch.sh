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
# Against a spreadsheet program printing the same table (the workbook of the same sheet), where
# one is installed: the ratio of the two wall times.
if command -v soffice >/dev/null; then
  "$build/prx5m" --xlsx illuminance "$work/full.syw" "$work/full.xlsx"
  start=$(date +%s.%N)
  "$build/prx5m" --pdf illuminance "$work/full.syw" "$work/full.pdf"
  ours=$(echo "$(date +%s.%N) - $start" | bc)
  start=$(date +%s.%N)
  soffice --headless --convert-to pdf --outdir "$work/office" "$work/full.xlsx" >/dev/null 2>&1
  theirs=$(echo "$(date +%s.%N) - $start" | bc)
  echo "illuminance PDF: ${ours} s; the spreadsheet program: ${theirs} s; $(echo "scale=1; $theirs / $ours" | bc) times faster"
else
  echo "illuminance PDF: no spreadsheet program installed to compare with (soffice)"
fi
for i in 1 2 3; do
  /usr/bin/time -f "cecl run $i: %e s wall, %M KB peak" "$build/prx5m" --pdf cecl "$work/full-cecl.syw" "$work/full-cecl.pdf"
done
pdfinfo "$work/full-cecl.pdf" | grep Pages
# The distribution pages of the same 220 rooms: time, and the size a page.
for i in 1 2 3; do
  /usr/bin/time -f "distribution run $i: %e s wall, %M KB peak" "$build/prx5m" --pdf distribution "$work/full.syw" "$work/dist.pdf"
done
pages=$(pdfinfo "$work/dist.pdf" | awk '/^Pages:/ {print $2}')
bytes=$(stat -c %s "$work/dist.pdf")
echo "distribution PDF: $pages pages, $bytes bytes, $((bytes / pages / 1024)) KB a page"
# The distribution of 220 rooms of the largest kind it accepts (間口 and 奥行 at the bound, as
# many fittings as allowed): the example's first office row, widened. Reported, never failing.
python3 - "$work/largest.syw" <<'PY'
import sys
rows = open('examples/office-3f.syw', 'rb').read().split(b'\r\n')[:221]
office = rows[2].split(b',')          # 事務室（営業）: a luminaire with a kept photometric file
office[9] = office[10] = b'100'       # 間口, 奥行 (m): the bound
office[11] = b'10000'                 # 面積
office[24] = b'200'                  # 台数: the bound
def room(i):
    office[1] = b'room%d' % i        # rooms of their own, not one room of many rows
    return b','.join(office)
open(sys.argv[1], 'wb').write(b'\r\n'.join([room(i) for i in range(220)] + [rows[220]]) + b'\r\n')
PY
/usr/bin/time -f "distribution CSV, 220 largest rooms: %e s wall, %M KB peak" \
  "$build/prx5m" --distribution-csv "$work/largest.syw" "$work/largest-csv" || true
/usr/bin/time -f "distribution PDF, 220 largest rooms: %e s wall, %M KB peak" \
  "$build/prx5m" --pdf distribution "$work/largest.syw" "$work/largest.pdf" || true
head -3 "$work/largest-csv/rooms.csv" 2>/dev/null || true
# The emergency check of 220 rows (the emergency example's 31 rows repeated) and of 220 of the
# largest rooms it accepts (100 m × 100 m, 200 luminaires): the report and the CSV set.
python3 - "$work/emergency.syw" "$work/emergency-largest.syw" <<'PY'
import sys
rows = open('examples/office-3f-emergency.syw', 'rb').read().split(b'\r\n')[:221]
rooms = [r for r in rows[:220] if r.startswith(b'1,')]
open(sys.argv[1], 'wb').write(b'\r\n'.join([rooms[i % len(rooms)] for i in range(220)] + [rows[220]]) + b'\r\n')
office = rows[2].split(b',')
office[9] = office[10] = b'100'
office[11] = b'10000'
office[132] = b'200'
def room(i):
    office[1] = b'room%d' % i
    return b','.join(office)
open(sys.argv[2], 'wb').write(b'\r\n'.join([room(i) for i in range(220)] + [rows[220]]) + b'\r\n')
PY
/usr/bin/time -f "emergency PDF, 220 rows: %e s wall, %M KB peak" \
  "$build/prx5m" --pdf emergency "$work/emergency.syw" "$work/emergency.pdf" || true
pdfinfo "$work/emergency.pdf" 2>/dev/null | grep Pages || true
/usr/bin/time -f "emergency CSV, 220 largest rooms: %e s wall, %M KB peak" \
  "$build/prx5m" --emergency-csv "$work/emergency-largest.syw" "$work/emergency-csv" || true
