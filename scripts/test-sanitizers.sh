#!/usr/bin/env bash
# Builds everything with gcc under the address and undefined-behaviour sanitizers into
# build-asan/ and runs every test there. A report stops the process that made it. Address
# reports of every process, the tests and the programs they start, are kept in
# build-asan/sanitizer-logs/; undefined-behaviour reports go to the process's own stderr (gcc's
# runtime ignores log_path when both run), which ctest keeps for the tests themselves. The script
# fails on a failed test or on any report found in either place, even if no test noticed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
sanitize="-fsanitize=address,undefined"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DQUORVANE_TEST_TIMEOUT=1800 \
  -DCMAKE_CXX_FLAGS="$sanitize -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" -DCMAKE_SHARED_LINKER_FLAGS="$sanitize" > /dev/null
cmake --build build-asan -- -j"$(nproc)"

logs=$PWD/build-asan/sanitizer-logs
rm -rf "$logs"
mkdir -p "$logs"
# verify_asan_link_order=0: the fault VFS is loaded into the program under test with LD_PRELOAD.
export ASAN_OPTIONS="log_path=$logs/asan:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:verify_asan_link_order=0"
export UBSAN_OPTIONS="print_stacktrace=1"
# fontconfig keeps its caches for the life of the process, which Qt's printer starts.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
status=0
(cd build-asan && ctest --output-on-failure -j"$(nproc)" --timeout 900) || status=$?
reports=$(ls "$logs"/* 2>/dev/null || true)
if grep -lE 'runtime error:|ERROR: (Address|Leak)Sanitizer' build-asan/Testing/Temporary/LastTest.log > /dev/null 2>&1; then
  reports="$reports build-asan/Testing/Temporary/LastTest.log"
fi
if [ -n "$reports" ]; then
  echo "Sanitizer reports:"
  for f in $reports; do
    echo "== $f"
    grep -E -A12 'runtime error:|ERROR: (Address|Leak)Sanitizer' "$f" | head -60
  done
  [ "$status" -ne 0 ] || status=1
fi
exit "$status"
