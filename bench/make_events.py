#!/usr/bin/env python3
# Writes N simple events into FOLDER, one .ics file each (ev0.ics ...), as both vdirsyncer
# comparisons use them: half-hour appointments over the next 25 days.
#   make_events.py FOLDER N [FIRST]      FIRST: the number of the first event (default 0)
import datetime
import sys

folder, n = sys.argv[1], int(sys.argv[2])
first = int(sys.argv[3]) if len(sys.argv) > 3 else 0
today = datetime.datetime.now().replace(hour=0, minute=0, second=0, microsecond=0)
for i in range(first, first + n):
    start = today + datetime.timedelta(days=i % 25, hours=9, minutes=i % 480)
    end = start + datetime.timedelta(minutes=30)
    fmt = "%Y%m%dT%H%M%S"
    with open(f"{folder}/ev{i}.ics", "w") as f:
        f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\nBEGIN:VEVENT\r\n"
                f"UID:ev{i}@bench\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:{start.strftime(fmt)}\r\n"
                f"DTEND:{end.strftime(fmt)}\r\nSUMMARY:Benchmark appointment {i}\r\n"
                f"LOCATION:Room {i % 40}\r\nDESCRIPTION:Benchmark appointment {i}\r\n"
                "END:VEVENT\r\nEND:VCALENDAR\r\n")
