#!/usr/bin/env python3
# Runs with nothing to do, side by side: quorvane's two passes as a person runs them (`sync local`
# then `sync global`, each a fresh process) and vdirsyncer's no-change sync, one after the other
# in every round, on the same event sets already synced once. The machine's speed moves by tens
# of percent within minutes; taking turns, both tools meet it in the same moods. Prints per N the
# fastest and the median of each, in seconds, and the ratio of the fastest.
#   [ROUNDS=K] side_by_side.py QUORVANE COLD_PASS [N ...]     default: 5000 10000; ROUNDS 7
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
quorvane, cold_pass = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
sizes = [int(n) for n in sys.argv[3:]] or [5000, 10000]
rounds = int(os.environ.get("ROUNDS", "7"))


def timed(args, env=None):
    start = time.perf_counter()
    subprocess.run(args, check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def our_profile(n):
    # cold_pass makes the profile and runs the first sync; it is left where it says.
    env = dict(os.environ, COLD_PASS_KEEP="1", COLD_PASS_REPEAT="1")
    subprocess.run([cold_pass, quorvane, str(n)], check=True, env=env, stdout=subprocess.DEVNULL)
    return os.path.join(tempfile.gettempdir(), f"quorvane-cold-{n}", "ann")


def their_config(work, n):
    subprocess.run([sys.executable, os.path.join(here, "vdirsyncer_pair.py"), work, str(n)], check=True)
    config = os.path.join(work, "config")
    env = dict(os.environ, VDIRSYNCER_CONFIG=config)
    subprocess.run(["vdirsyncer", "discover"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    timed(["vdirsyncer", "sync"], env)
    if len(os.listdir(os.path.join(work, "a"))) != n:
        sys.exit(f"vdirsyncer did not sync the {n} events")
    return env


print(f"{'N':>8}  {'ours best':>10} {'median':>8}  {'vdirsyncer best':>16} {'median':>8}  {'ratio':>6}")
for n in sizes:
    profile = our_profile(n)
    work = tempfile.mkdtemp()
    try:
        env = their_config(work, n)
        os.sync()  # what the first runs wrote reaches the disk before anything is timed
        ours, theirs = [], []
        for _ in range(rounds):
            ours.append(timed([quorvane, "--profile", profile, "sync", "local"]) +
                        timed([quorvane, "--profile", profile, "sync", "global"]))
            theirs.append(timed(["vdirsyncer", "sync"], env))
    finally:
        shutil.rmtree(work)
        shutil.rmtree(os.path.dirname(profile))
    print(f"{n:>8}  {min(ours):>10.3f} {statistics.median(ours):>8.3f}  {min(theirs):>16.3f} "
          f"{statistics.median(theirs):>8.3f}  {min(theirs) / min(ours):>6.2f}", flush=True)
