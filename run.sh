#!/usr/bin/env bash
# Installs what is missing, builds in Release into build/, installs the desktop entry for *.syw
# files for the user and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
source scripts/desktop.sh
ensure_deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
# A double-click on a work file opens it here (the user's desktop entry and MIME type).
install_desktop_entry "$PWD/build/prx5m"
exec ./build/prx5m "$@"
