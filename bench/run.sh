#!/usr/bin/env bash
# Builds the benchmarks, runs them and vdirsyncer on the same event sets, and prints three
# tables, for each tool and N the fastest of REPEAT tries (default 3): the runs inside one process
# (sync_bench: a first run, then a second, warm, with nothing to do), and the runs with nothing
# to do as a person runs them, `quorvane sync local` and `sync global` each a fresh process
# (cold_pass), with their peak memory; vdirsyncer's no-change sync beside both. The third puts the
# runs with nothing to do of both tools side by side, taking turns (bench/side_by_side.py).
# The fresh-process rounds take a fraction of a second each, so there are more of them (COLD_REPEAT,
# default 7).
#   [REPEAT=K] [COLD_REPEAT=K] bench/run.sh [N ...]     default: 1000 5000 10000 20000
set -euo pipefail
export LC_ALL=C  # sort and join must agree on the order of the lines
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
command -v vdirsyncer >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq vdirsyncer bc >/dev/null; }
cmake -S . -B build -G Ninja -DQUORVANE_BENCH=ON > /dev/null
cmake --build build --target sync_bench cold_pass quorvane QuorvaneDLL Pagorin > /dev/null
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 5000 10000 20000)
echo "machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
export REPEAT=${REPEAT:-3}
ours=$(SYNC_BENCH_REPEAT=$REPEAT build/bin/sync_bench "${sizes[@]}" | awk '$1 ~ /^[0-9]+$/')
theirs=$(bash bench/vdirsyncer_compare.sh "${sizes[@]}")
printf "%8s | %14s %14s | %14s %14s | %8s %8s\n" N "quorvane 1st" "quorvane 2nd" "vdirsyncer 1st" "vdirsyncer 2nd" "ratio 1st" "ratio 2nd"
# join needs its lines in the order of text, the table wants the order of N.
joined() { join <(awk '{$1 = $1} 1' <<<"$1" | sort -k1,1) <(awk '{$1 = $1} 1' <<<"$2" | sort -k1,1) | sort -n; }
joined "$ours" "$theirs" | while read -r n q1 q2 v1 v2; do
  printf "%8d | %14.3f %14.3f | %14.3f %14.3f | %8.2f %8.2f\n" "$n" "$q1" "$q2" "$v1" "$v2" \
    "$(echo "$v1 / $q1" | bc -l)" "$(echo "$v2 / $q2" | bc -l)"
done
echo "$ours" | awk 'NR > 1 {printf "growth %d -> %d: first x%.2f, second x%.2f\n", n, $1, $2 / f, $3 / s} {n = $1; f = $2; s = $3}'
cold=$(COLD_PASS_REPEAT=${COLD_REPEAT:-7} build/bin/cold_pass build/bin/quorvane "${sizes[@]}" | awk '$1 ~ /^[0-9]+$/ {print $1, $3, $4, $5, $6}')
echo
printf "%8s | %12s %10s %10s %10s | %14s %14s | %8s\n" N "cold both" local global "peak MiB" "warm (2nd)" "vdirsyncer 2nd" "ratio"
joined "$cold" "$(joined "$ours" "$theirs")" | while read -r n both local global peak q1 q2 v1 v2; do
  printf "%8d | %12.3f %10.3f %10.3f %10.1f | %14.3f %14.3f | %8.2f\n" "$n" "$both" "$local" "$global" "$peak" "$q2" "$v2" \
    "$(echo "$v2 / $both" | bc -l)"
done
# The targets' comparison: both tools' runs with nothing to do taking turns (bench/side_by_side.py).
echo
ROUNDS=${COLD_REPEAT:-7} python3 bench/side_by_side.py build/bin/quorvane build/bin/cold_pass "${sizes[@]}"
