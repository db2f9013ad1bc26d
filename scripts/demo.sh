#!/usr/bin/env bash
# The main job: build the program and its libraries, then run the demo workgroup on the
# built-in default profile.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh quorvane QuorvaneDLL Pagorin
exec build/bin/quorvane demo --dir "${1:-build/quorvane-demo}"
