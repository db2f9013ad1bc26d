# Another CalDAV client (python3-caldav) reads every event of every calendar under a URL and
# prints one line each: summary|start|end|description|X-QUORVANE-ORIGENTRYID.
import sys

import caldav

url, user, password = sys.argv[1:4]
client = caldav.DAVClient(url=url, username=user, password=password)
for cal in client.principal().calendars():
    for ev in cal.events():
        for comp in ev.icalendar_instance.walk("VEVENT"):
            if comp.get("RECURRENCE-ID"):
                continue
            start, end = comp.decoded("DTSTART"), comp.decoded("DTEND")
            fmt = "%Y-%m-%d %H:%M:%S"
            print("|".join([str(comp.get("SUMMARY", "")), start.strftime(fmt), end.strftime(fmt),
                            str(comp.get("DESCRIPTION", "")), str(comp.get("X-QUORVANE-ORIGENTRYID", ""))]))
