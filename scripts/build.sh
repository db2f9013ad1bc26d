#!/usr/bin/env bash
# Installs what the build needs, configures build/ and builds the given targets (all when none).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
if [ $# -gt 0 ]; then
  cmake --build build --target "$@" -- -j"$(nproc)"
else
  cmake --build build -- -j"$(nproc)"
fi
