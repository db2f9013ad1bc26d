#!/usr/bin/env bash
# The CalDAV store side by side with vdirsyncer (a filesystem storage paired with the same
# calendar) against one Radicale of its own, started here on a free port with a temporary
# storage folder:
#   download N   another client filled a calendar with N events (written into Radicale's
#                storage, then read once so the server's own cache is built before either tool
#                comes); a member's first run on it, then a run with nothing to do, against
#                vdirsyncer's first and second sync into an empty folder
#   upload N     N new appointments into an empty calendar: ours as the passes copy them, one
#                PUT each; vdirsyncer's first sync from a folder of N files; both at once
# Prints one line per measurement: "<what> <N> <ours s> <vdirsyncer s> <ratio>"; the processor
# time our side spent in each goes to standard error ("cpu S").
#   bench/caldav_compare.sh [--download N ...] [--upload N ...]   default: --download 1000 5000 --upload 1000
set -euo pipefail
cd "$(dirname "$0")/.."
command -v vdirsyncer >/dev/null || { echo "vdirsyncer is not installed (scripts/install-deps.sh)" >&2; exit 1; }
bench=build/bin/caldav_bench
[ -x "$bench" ] || { cmake -S . -B build -G Ninja -DQUORVANE_BENCH=ON >/dev/null; cmake --build build --target caldav_bench >/dev/null; }

downloads=(); uploads=(); mode=""
for a in "$@"; do
  case "$a" in --download) mode=d ;; --upload) mode=u ;; *) if [ "$mode" = u ]; then uploads+=("$a"); else downloads+=("$a"); fi ;; esac
done
[ $# -gt 0 ] || { downloads=(1000 5000); uploads=(1000); }

work=$(mktemp -d)
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$work/radicale.conf" <<CFG
[server]
hosts = 127.0.0.1:$port
[auth]
type = none
[storage]
filesystem_folder = $work/storage
[logging]
level = warning
CFG
/usr/bin/python3 -m radicale --config "$work/radicale.conf" 2>"$work/radicale.log" &
radicale=$!
trap 'kill $radicale 2>/dev/null; wait $radicale 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
origin="http://127.0.0.1:$port"

# An empty calendar of the user "bench", made in the server's storage.
calendar() {
  mkdir -p "$work/storage/collection-root/bench/$1"
  printf '{"C:supported-calendar-component-set": "VEVENT", "D:displayname": "%s", "tag": "VCALENDAR"}' "$1" \
    > "$work/storage/collection-root/bench/$1/.Radicale.props"
}

events() { /usr/bin/python3 bench/make_events.py "$1" "$2"; }

# vdirsyncer's configuration pairing a folder with one calendar.
vdir_config() {  # dir folder calendar
  cat > "$1/config" <<CFG
[general]
status_path = "$1/status"
[pair bench]
a = "local"
b = "server"
collections = null
conflict_resolution = "a wins"
[storage local]
type = "filesystem"
path = "$2"
fileext = ".ics"
[storage server]
type = "caldav"
url = "$origin/bench/$3/"
username = "bench"
password = "bench"
CFG
}

now() { date +%s.%N; }
line() { printf "%-22s %6d %10.3f %10.3f %8.1f\n" "$1" "$2" "$3" "$4" "$(echo "$4 / $3" | bc -l)"; }
printf "%-22s %6s %10s %10s %8s\n" what N "ours s" "vdirs. s" ratio

for n in "${downloads[@]}"; do
  cal="filled-$n"; calendar "$cal"; events "$work/storage/collection-root/bench/$cal" "$n"
  curl -s -o /dev/null -X PROPFIND -H "Depth: 1" -u bench:bench "$origin/bench/$cal/"  # the server's cache
  read -r _ ours_first count < <("$bench" download "$origin/bench/$cal/" "$work/replica-$n" | grep first)
  ours_again=$("$bench" download "$origin/bench/$cal/" "$work/replica-$n" | awk '/again/ {print $2}')
  [ "$count" -eq "$n" ] || { echo "the store holds $count events, not $n" >&2; exit 1; }
  v="$work/vdir-down-$n"; mkdir -p "$v/files" "$v/status"; vdir_config "$v" "$v/files" "$cal"
  export VDIRSYNCER_CONFIG="$v/config"
  vdirsyncer discover >/dev/null 2>&1 || true
  t0=$(now); vdirsyncer sync >/dev/null 2>&1; t1=$(now); vdirsyncer sync >/dev/null 2>&1; t2=$(now)
  [ "$(ls "$v/files" | wc -l)" -eq "$n" ] || { echo "vdirsyncer fetched $(ls "$v/files" | wc -l), not $n" >&2; exit 1; }
  line "first download" "$n" "$ours_first" "$(echo "$t1 - $t0" | bc -l)"
  line "nothing to do" "$n" "$ours_again" "$(echo "$t2 - $t1" | bc -l)"
done

# Both uploads run at once, each into its own calendar: this machine's speed moves by a factor of
# two from minute to minute, and so both meet the same server at the same moments.
for n in "${uploads[@]}"; do
  calendar "up-ours-$n"; calendar "up-vdir-$n"
  "$bench" download "$origin/bench/up-ours-$n/" "$work/up-replica-$n" >/dev/null
  v="$work/vdir-up-$n"; mkdir -p "$v/files" "$v/status"; events "$v/files" "$n"; vdir_config "$v" "$v/files" "up-vdir-$n"
  export VDIRSYNCER_CONFIG="$v/config"
  vdirsyncer discover >/dev/null 2>&1 || true
  "$bench" upload "$origin/bench/up-ours-$n/" "$work/up-replica-$n" "$n" > "$work/ours-up-$n" &
  ours_pid=$!
  t0=$(now); vdirsyncer sync >/dev/null 2>&1; t1=$(now)
  wait $ours_pid
  read -r _ ours count < "$work/ours-up-$n"
  [ "$count" -eq "$n" ] || { echo "the store holds $count events, not $n" >&2; exit 1; }
  line "upload (side by side)" "$n" "$ours" "$(echo "$t1 - $t0" | bc -l)"
done
