#!/usr/bin/env bash
# Installs what is missing, builds in Release into build/ and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
exec ./build/prx5m "$@"
