#!/usr/bin/env bash
# Builds everything with gcc under the address and undefined-behaviour sanitizers into
# build-asan/ and runs every test there. A sanitizer report from any process, the tests or the
# programs they start, stops that process and is kept in build-asan/sanitizer-logs/; the script
# fails when there is one, even if no test noticed. Ends with ctest's summary line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
sanitize="-fsanitize=address,undefined"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_CXX_FLAGS="$sanitize -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" -DCMAKE_SHARED_LINKER_FLAGS="$sanitize" > /dev/null
cmake --build build-asan -- -j"$(nproc)"

logs=$PWD/build-asan/sanitizer-logs
rm -rf "$logs"
mkdir -p "$logs"
export ASAN_OPTIONS="log_path=$logs/asan:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="log_path=$logs/ubsan:print_stacktrace=1"
status=0
(cd build-asan && ctest --output-on-failure -j"$(nproc)" --timeout 900) || status=$?
if [ -n "$(ls -A "$logs")" ]; then
  echo "Sanitizer reports:"
  for f in "$logs"/*; do
    echo "== $f"
    cat "$f"
  done
  [ "$status" -ne 0 ] || status=1
fi
exit "$status"
