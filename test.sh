#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through ctest.
#   ./test.sh             Release build in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_deps

dir=build
flags=(-DCMAKE_BUILD_TYPE=Release -DPRX5M_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DPRX5M_WERROR=ON -DPRX5M_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=0
fi
cmake -S . -B "$dir" "${flags[@]}"
cmake --build "$dir" -j"$(nproc)"
cd "$dir"
ctest --output-on-failure -j"$(nproc)"
