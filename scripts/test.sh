#!/usr/bin/env bash
# Builds everything and runs every test; ends with ctest's summary line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 600
