#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, everything instrumented and under the
# address and undefined-behaviour sanitizers, into build-fuzz/, and runs each target in turn
# on one core for SECONDS (600 unless given):
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
# Each target grows its corpus in build-fuzz/fuzz/TARGET/corpus from the seeds in
# fuzz/corpus/TARGET. An input that crashes, hangs, leaks or runs out of memory is saved in
# build-fuzz/fuzz/TARGET/findings/ and the script exits 1 at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

all=(registry_file_fuzz filter_fuzz ical_import_fuzz)
declare -A sources=(
  [registry_file_fuzz]="platform/win32/registry_file.cpp"
  [filter_fuzz]="platform/mapistore/filter.cpp platform/mapistore/sqlite_store.cpp"
  [ical_import_fuzz]="host/ical_file.cpp"
)

seconds=600
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
for t in "${targets[@]}"; do
  [ -n "${sources[$t]:-}" ] || { echo "unknown target $t (known: ${all[*]})" >&2; exit 2; }
done

bash scripts/install-deps.sh --fuzz
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVANE_FUZZ=ON -DQUORVANE_TESTS=OFF > /dev/null
cmake --build build-fuzz --target "${targets[@]}" -- -j"$(nproc)"

# Edges reached in the given source files, from libFuzzer's coverage listing (its edge counts
# include the sanitizers' own checks), and the lines with an edge never taken.
coverage_of() {
  local listing=$1
  shift
  local f
  for f in "$@"; do
    awk -v file="$f" '
      /^(COVERED|UNCOVERED)_FUNC:/ {
        mine = index($0, "/" file ":") > 0
        if (!mine) next
        split($5, e, "/"); covered += e[1]; total += e[2]; funcs++
        if ($1 == "COVERED_FUNC:") hit++; else { sub(/.*:/, "", $NF); missed[$NF + 0] = 1 }
        next
      }
      mine && /UNCOVERED_PC:/ && index($2, "/" file ":") { n = $2; sub(/.*:/, "", n); if (n + 0 > 0) missed[n + 0] = 1 }
      END {
        printf "  %s: %d of %d edges, %d of %d functions\n", file, covered, total, hit, funcs
        list = ""; k = 0
        for (l in missed) lines[++k] = l + 0
        for (i = 1; i <= k; i++) for (j = i + 1; j <= k; j++) if (lines[j] < lines[i]) { t = lines[i]; lines[i] = lines[j]; lines[j] = t }
        for (i = 1; i <= k; i++) list = list " " lines[i]
        if (k) printf "    lines with an edge not taken (unwinding included):%s\n", list
      }
    ' "$listing"
  done
}

found=0
for t in "${targets[@]}"; do
  out=build-fuzz/fuzz/$t
  mkdir -p "$out/corpus" "$out/findings"
  echo "== $t: ${seconds} s"
  rc=0
  build-fuzz/bin/"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -dict=fuzz/"$t".dict -artifact_prefix="$out/findings/" "$out/corpus" fuzz/corpus/"$t" > "$out/fuzz.log" 2>&1 || rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/fuzz.log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$out/fuzz.log" | tail -1)
  progress=$(grep -E '^#[0-9]+' "$out/fuzz.log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' || true)
  echo "  executions: ${execs:-?} (${speed:-?}/s); ${progress:-no coverage line}"
  # The corpus as it now stands, run once with the listing of what it reaches.
  build-fuzz/bin/"$t" -runs=0 -print_coverage=1 "$out/corpus" fuzz/corpus/"$t" > "$out/coverage.txt" 2>&1 || true
  # shellcheck disable=SC2086
  coverage_of "$out/coverage.txt" ${sources[$t]}
  findings=$(find "$out/findings" -type f \( -name 'crash-*' -o -name 'timeout-*' -o -name 'leak-*' -o -name 'oom-*' \) | sort)
  if [ "$rc" -ne 0 ] || [ -n "$findings" ]; then
    found=1
    echo "  FINDING (exit $rc); log: $out/fuzz.log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$out/fuzz.log" | head -5 | sed 's/^/    /' || true
    for f in $findings; do echo "    saved: $f"; done
  else
    echo "  no findings"
  fi
done
exit "$found"
