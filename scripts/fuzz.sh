#!/usr/bin/env bash
# Builds the libFuzzer targets (work file, masters, master tool, photometry readers) with clang in build-fuzz/ and runs each for a while.
#   scripts/fuzz.sh            60 seconds per target
#   scripts/fuzz.sh 20         20 seconds per target (what CI runs)
# A finding stops the run with the input that failed (build-fuzz/crash-* and friends).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

if ! command -v clang++ >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed"; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi

cmake -S . -B build-fuzz -DPRX5M_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for target in fuzz_workfile fuzz_masters fuzz_mastertool fuzz_photometry; do
  corpus="build-fuzz/corpus/$target"
  mkdir -p "$corpus"
  # Seeds: the example work files and the sample masters as the build makes them.
  case "$target" in
    fuzz_workfile) cp -n examples/*.syw "$corpus/" 2>/dev/null || true ;;
    fuzz_photometry)
      # The sample files, each read as the format it is (first byte: 0 IES, 1 EULUMDAT).
      for f in data/photometry/*.ies data/masters/photometry/*.ies; do
        [ -f "$f" ] && printf '\000' | cat - "$f" > "$corpus/$(basename "$f").seed"
      done
      for f in data/photometry/*.ldt data/masters/photometry/*.ldt; do
        [ -f "$f" ] && printf '\001' | cat - "$f" > "$corpus/$(basename "$f").seed"
      done ;;
    fuzz_masters|fuzz_mastertool)
      for f in data/masters/*.csv; do
        printf '\001' | cat - "$f" > "$corpus/$(basename "$f").seed"
      done ;;
  esac
  echo "== $target: ${seconds}s"
  set +e
  (cd build-fuzz && "./fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
     -print_final_stats=1 "corpus/$target" > "$target.log" 2>&1)
  status=$?
  set -e
  grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss_mb|SUMMARY)|ERROR" "build-fuzz/$target.log" || true
  if [ "$status" -ne 0 ]; then
    echo "$target found a failing input (exit $status); see build-fuzz/$target.log"
    tail -40 "build-fuzz/$target.log"
    exit 1
  fi
done
