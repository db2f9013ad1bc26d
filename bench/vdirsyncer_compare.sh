#!/usr/bin/env bash
# Times vdirsyncer on the same event set as sync_bench: N simple events, half in each of two
# "filesystem" storages (one .ics file per event), first sync and no-change sync. Prints one
# line per N: "N first_s second_s", the fastest of REPEAT tries (default 1).
#   [REPEAT=K] bench/vdirsyncer_compare.sh [N ...]     default: 1000 10000 20000
set -euo pipefail
command -v vdirsyncer >/dev/null || { echo "vdirsyncer is not installed (apt-get install vdirsyncer)" >&2; exit 1; }
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 20000)

repeat=${REPEAT:-1}

for n in "${sizes[@]}"; do
 best1=""; best2=""
 for ((try = 0; try < repeat; try++)); do
  work=$(mktemp -d)
  python3 "$(dirname "$0")/vdirsyncer_pair.py" "$work" "$n"
  export VDIRSYNCER_CONFIG="$work/config"
  vdirsyncer discover >/dev/null 2>&1 || true
  t0=$(date +%s.%N); vdirsyncer sync >/dev/null 2>&1; t1=$(date +%s.%N)
  sync  # the first sync's files reach the disk now, not while the no-change sync is timed
  t2=$(date +%s.%N); vdirsyncer sync >/dev/null 2>&1; t3=$(date +%s.%N)
  files=$(ls "$work/a" | wc -l)
  [ "$files" -eq "$n" ] || { echo "vdirsyncer left $files files, not $n" >&2; exit 1; }
  first=$(echo "$t1 - $t0" | bc -l); second=$(echo "$t3 - $t2" | bc -l)
  if [ -z "$best1" ] || [ "$(echo "$first < $best1" | bc -l)" -eq 1 ]; then best1=$first; fi
  if [ -z "$best2" ] || [ "$(echo "$second < $best2" | bc -l)" -eq 1 ]; then best2=$second; fi
  rm -rf "$work"
 done
 echo "$n $best1 $best2"
done
