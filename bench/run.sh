#!/usr/bin/env bash
# Builds the benchmark, runs it and vdirsyncer on the same event sets, and prints the table:
# for each tool and N the fastest of REPEAT tries (default 3).
#   [REPEAT=K] bench/run.sh [N ...]     default: 1000 10000 20000
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
command -v vdirsyncer >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq vdirsyncer bc >/dev/null; }
cmake -S . -B build -G Ninja -DQUORVANE_BENCH=ON > /dev/null
cmake --build build --target sync_bench > /dev/null
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 20000)
echo "machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
export REPEAT=${REPEAT:-3}
ours=$(SYNC_BENCH_REPEAT=$REPEAT build/bin/sync_bench "${sizes[@]}" | awk '$1 ~ /^[0-9]+$/')
theirs=$(bash bench/vdirsyncer_compare.sh "${sizes[@]}")
printf "%8s | %14s %14s | %14s %14s | %8s %8s\n" N "quorvane 1st" "quorvane 2nd" "vdirsyncer 1st" "vdirsyncer 2nd" "ratio 1st" "ratio 2nd"
join <(echo "$ours") <(echo "$theirs") | while read -r n q1 q2 v1 v2; do
  printf "%8d | %14.3f %14.3f | %14.3f %14.3f | %8.2f %8.2f\n" "$n" "$q1" "$q2" "$v1" "$v2" \
    "$(echo "$v1 / $q1" | bc -l)" "$(echo "$v2 / $q2" | bc -l)"
done
echo "$ours" | awk 'NR > 1 {printf "growth %d -> %d: first x%.2f, second x%.2f\n", n, $1, $2 / f, $3 / s} {n = $1; f = $2; s = $3}'
