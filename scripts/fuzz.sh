#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a while, then prints
# each target's speed (inputs a second).
#   scripts/fuzz.sh              60 seconds per target
#   scripts/fuzz.sh 15           15 seconds per target (what CI runs)
#   scripts/fuzz.sh --minutes 30 30 minutes per target (a long run)
# Targets: the work file, the three masters, the master tool's conversions, the photometry readers
# (with the distribution), the BEI/L figures of a work file, the workbook reader of the official
# input sheets, their import into work files, the line a second copy hands over. A finding stops
# the run with the input that failed (build-fuzz/crash-* and friends).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
case "${1:-}" in
  --minutes)
    [[ "${2:-}" =~ ^[0-9]+$ ]] || { echo "usage: $0 [SECONDS | --minutes N]" >&2; exit 2; }
    seconds=$(( $2 * 60 )) ;;
  "") ;;
  *)
    [[ "$1" =~ ^[0-9]+$ ]] || { echo "usage: $0 [SECONDS | --minutes N]" >&2; exit 2; }
    seconds="$1" ;;
esac

if ! command -v clang++ >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed"; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi

cmake -S . -B build-fuzz -DPRX5M_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j"$(nproc)"

# No allocation stacks kept (most of the time of a run): a finding is run again with them,
# ASAN_OPTIONS=detect_leaks=0 build-fuzz/fuzz/TARGET build-fuzz/crash-…, to see where its memory came from.
export ASAN_OPTIONS=detect_leaks=0:malloc_context_size=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
summary=()
for target in fuzz_workfile fuzz_masters fuzz_mastertool fuzz_photometry fuzz_beil fuzz_xlsxcells fuzz_official fuzz_handover; do
  corpus="build-fuzz/corpus/$target"
  mkdir -p "$corpus"
  max_len=16384
  # Seeds: the example work files and the sample masters as the build makes them.
  case "$target" in
    fuzz_workfile)
      # Its sheet has 24 rows: the examples' first rows.
      for f in examples/*.syw; do head -n 20 "$f" > "$corpus/$(basename "$f" .syw).head.syw"; done ;;
    fuzz_beil) cp -n examples/office-3f-beil.syw "$corpus/" ;;
    fuzz_xlsxcells|fuzz_official) cp -n fuzz/seeds/*.xlsx "$corpus/"; max_len=65536 ;;
    fuzz_handover)
      printf '%s' "$(printf '/tmp/事務所\n改修.syw' | base64 -w0)" > "$corpus/path.seed"
      printf '' > "$corpus/front.seed"; max_len=1024 ;;
    fuzz_photometry)
      # The sample files, each read as the format it is (first byte: 0 IES, 1 EULUMDAT; 6 and 7
      # the same with the room worked out by radiosity).
      for f in data/photometry/*.ies data/masters/photometry/*.ies; do
        [ -f "$f" ] && printf '\000' | cat - "$f" > "$corpus/$(basename "$f").seed"
        [ -f "$f" ] && printf '\006' | cat - "$f" > "$corpus/$(basename "$f").radiosity.seed"
      done
      for f in data/photometry/*.ldt data/masters/photometry/*.ldt; do
        [ -f "$f" ] && printf '\001' | cat - "$f" > "$corpus/$(basename "$f").seed"
      done ;;
    fuzz_masters|fuzz_mastertool)
      # A score of records shows every rule of a loader; longer inputs only repeat them slowly.
      max_len=4096
      for f in data/masters/*.csv; do
        printf '\001' | cat - "$f" > "$corpus/$(basename "$f").seed"
      done ;;
  esac
  echo "== $target: ${seconds}s"
  set +e
  (cd build-fuzz && "./fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
     -print_final_stats=1 "corpus/$target" > "$target.log" 2>&1)
  status=$?
  set -e
  grep -E "^(Done|stat::peak_rss_mb|SUMMARY)|ERROR" "build-fuzz/$target.log" || true
  if [ "$status" -ne 0 ]; then
    echo "$target found a failing input (exit $status); see build-fuzz/$target.log"
    tail -40 "build-fuzz/$target.log"
    exit 1
  fi
  # The speed once the corpus is read: the last status line's exec/s.
  speed=$(grep -oE "exec/s: [0-9]+" "build-fuzz/$target.log" | tail -1 | grep -oE "[0-9]+" || echo "?")
  runs=$(grep -oE "^stat::number_of_executed_units: [0-9]+" "build-fuzz/$target.log" | grep -oE "[0-9]+$" || echo "?")
  summary+=("$(printf '%-18s %10s inputs %8s a second' "$target" "$runs" "$speed")")
done
echo "== speed (one core, AddressSanitizer and UndefinedBehaviorSanitizer)"
printf '%s\n' "${summary[@]}"
