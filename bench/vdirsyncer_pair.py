#!/usr/bin/env python3
# Makes vdirsyncer's side of the benchmarks in WORK: N events (make_events.py), half in each of
# two "filesystem" storages a/ and b/, a status folder and the pair's config (WORK/config).
#   vdirsyncer_pair.py WORK N
import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
work, n = os.path.abspath(sys.argv[1]), int(sys.argv[2])
for side, count, first in (("a", n // 2, 0), ("b", n - n // 2, n // 2)):
    os.makedirs(os.path.join(work, side))
    subprocess.run([sys.executable, os.path.join(here, "make_events.py"), os.path.join(work, side), str(count),
                    str(first)], check=True)
os.makedirs(os.path.join(work, "status"))
with open(os.path.join(work, "config"), "w") as f:
    f.write(f'[general]\nstatus_path = "{work}/status"\n\n'
            '[pair bench]\na = "side_a"\nb = "side_b"\ncollections = null\nconflict_resolution = "a wins"\n\n'
            f'[storage side_a]\ntype = "filesystem"\npath = "{work}/a"\nfileext = ".ics"\n\n'
            f'[storage side_b]\ntype = "filesystem"\npath = "{work}/b"\nfileext = ".ics"\n')
