#!/usr/bin/python3
"""Reads a calendar file written by `quorvane export` with python3-icalendar and dateutil, and
checks it against the appointments as `quorvane appt list --json` gave them: the same texts,
times, states and occurrences. Prints each difference; the exit status is the number of them.

Usage: ical_second_reader.py EXPORT.ics LIST.json (times are this computer's, TZ as set)."""
import json
import sys
from datetime import date, datetime, timedelta

import icalendar
from dateutil import rrule

WEEKDAYS = [rrule.SU, rrule.MO, rrule.TU, rrule.WE, rrule.TH, rrule.FR, rrule.SA]  # mask bit 0 first
FREQS = {"daily": rrule.DAILY, "weekly": rrule.WEEKLY, "monthly": rrule.MONTHLY, "monthnth": rrule.MONTHLY,
         "yearly": rrule.YEARLY, "yearnth": rrule.YEARLY}
COMPARED = 500


def local(value):
    """A file's time as our JSON writes it: this computer's time, or a date at midnight."""
    if isinstance(value, datetime):
        if value.tzinfo is not None:
            value = value.astimezone().replace(tzinfo=None)
        return value.strftime("%Y-%m-%dT%H:%M:%S.000")
    return value.strftime("%Y-%m-%dT00:00:00.000")


def short(iso):  # "2026-03-10T09:00:00.000" as appt list's "2026-03-10 09:00"
    return iso[:10] + " " + iso[11:16]


def naive(value):
    if isinstance(value, datetime):
        return value.astimezone().replace(tzinfo=None) if value.tzinfo else value
    return datetime(value.year, value.month, value.day)


def text(ev, name):
    value = ev.get(name)
    return "" if value is None else str(value)


def from_file(ev):
    start, end = ev.decoded("DTSTART"), ev.decoded("DTEND")
    busy = 0 if text(ev, "TRANSP") == "TRANSPARENT" else {"TENTATIVE": 1, "OOF": 3}.get(
        text(ev, "X-MICROSOFT-CDO-BUSYSTATUS"), 2)
    sensitivity = {"PRIVATE": 2, "CONFIDENTIAL": 3}.get(text(ev, "CLASS"), 0)
    if sensitivity == 2 and text(ev, "X-QUORVANE-SENSITIVITY") == "1":
        sensitivity = 1
    cats = ev.get("CATEGORIES")
    cats = [] if cats is None else (cats if isinstance(cats, list) else [cats])
    alarms = [a for a in ev.subcomponents if a.name == "VALARM"]
    out = {"Subject": text(ev, "SUMMARY"), "Body": text(ev, "DESCRIPTION"), "Location": text(ev, "LOCATION"),
           "Categories": ", ".join(str(c) for cat in cats for c in cat.cats),
           "Start": local(start), "End": local(end), "AllDayEvent": not isinstance(start, datetime),
           "BusyStatus": busy, "Sensitivity": sensitivity, "Cancelled": text(ev, "STATUS") == "CANCELLED",
           "ReminderSet": bool(alarms)}
    if alarms:
        out["ReminderMinutesBeforeStart"] = int(-alarms[0].decoded("TRIGGER").total_seconds() // 60)
    if "RRULE" in ev:
        # Expanded in the zone's wall time (dateutil would keep the first offset all year), each
        # occurrence then put in its zone.
        tz = start.tzinfo if isinstance(start, datetime) else None
        wall = start.replace(tzinfo=None) if tz else naive(start)
        rule_text = ev["RRULE"].to_ical().decode()
        until = ev["RRULE"].get("UNTIL")
        if until and tz and isinstance(until[0], datetime) and until[0].tzinfo:
            rule_text = ";".join(p for p in rule_text.split(";") if not p.startswith("UNTIL="))
            rule_text += ";UNTIL=" + until[0].astimezone(tz).strftime("%Y%m%dT%H%M%S")
        localize = (tz.localize if hasattr(tz, "localize") else lambda t: t.replace(tzinfo=tz)) if tz else (lambda t: t)
        rule = [localize(t) for t in rrule.rrulestr(rule_text, dtstart=wall)[:COMPARED]]
        excluded = set()
        for exdate in (ev.get("EXDATE") if isinstance(ev.get("EXDATE"), list) else [ev.get("EXDATE")]):
            for d in (exdate.dts if exdate is not None else []):
                excluded.add(naive(d.dt))
        out["Occurrences"] = [naive(t) for t in rule if naive(t) not in excluded]
    return out


def from_json(a):
    out = {k: a[k] for k in ("Subject", "Body", "Location", "Categories", "Start", "End", "AllDayEvent",
                             "BusyStatus", "Sensitivity", "ReminderSet")}
    out["Cancelled"] = a["MeetingStatus"] in (5, 7)
    if a["ReminderSet"]:
        out["ReminderMinutesBeforeStart"] = a["ReminderMinutesBeforeStart"]
    r = a.get("Recurrence")
    if r:
        start = datetime.strptime(a["Start"][:19], "%Y-%m-%dT%H:%M:%S")
        days = [WEEKDAYS[d] for d in range(7) if r["DayOfWeekMask"] & (1 << d)]
        pos = -1 if r["Instance"] == 5 else r["Instance"]
        kw = {"interval": r["Interval"], "dtstart": start}
        kind = r["RecurrenceType"]
        if kind == "weekly":
            kw["byweekday"] = days
        if kind in ("monthly", "yearly"):
            kw["bymonthday"] = r["DayOfMonth"]
        if kind in ("yearly", "yearnth"):
            kw["bymonth"] = r["MonthOfYear"]
        if kind in ("monthnth", "yearnth"):
            kw["byweekday"], kw["bysetpos"] = days, pos
        if r["Occurrences"]:
            kw["count"] = r["Occurrences"]
        elif not r["NoEndDate"]:
            kw["until"] = datetime.strptime(r["PatternEndDate"], "%Y-%m-%d %H:%M") + timedelta(days=1, seconds=-1)
        deleted = {e["OriginalDate"] for e in r["Exceptions"] if e["Deleted"]}
        out["Occurrences"] = [t for t in rrule.rrule(FREQS[kind], **kw)[:COMPARED]
                              if t.strftime("%Y-%m-%d %H:%M") not in deleted]
    return out


def main():
    data = open(sys.argv[1], "rb").read()
    events = [c for cal in icalendar.Calendar.from_ical(data, multiple=True) for c in cal.walk("VEVENT")]
    masters = {str(e["UID"]): e for e in events if "RECURRENCE-ID" not in e}
    overrides = {}
    for e in events:
        if "RECURRENCE-ID" in e:
            overrides.setdefault(str(e["UID"]), []).append(
                {"OriginalDate": short(local(e.decoded("RECURRENCE-ID"))), "Deleted": False,
                 "Start": short(local(e.decoded("DTSTART"))), "End": short(local(e.decoded("DTEND"))),
                 "Subject": text(e, "SUMMARY"), "Location": text(e, "LOCATION"), "Body": text(e, "DESCRIPTION")})
    faults = 0
    appointments = json.load(open(sys.argv[2]))
    if len(appointments) != len(masters):
        print(f"{len(appointments)} appointments, {len(masters)} events")
        faults += 1
    for a in appointments:
        ev = masters.get(a["GlobalAppointmentID"])
        if ev is None:
            print(f"no event with UID {a['GlobalAppointmentID']}")
            faults += 1
            continue
        theirs, ours = from_file(ev), from_json(a)
        changed = [e for e in (a.get("Recurrence") or {}).get("Exceptions", []) if not e["Deleted"]]
        if sorted(overrides.get(a["GlobalAppointmentID"], []), key=str) != sorted(changed, key=str):
            theirs["Overrides"], ours["Overrides"] = overrides.get(a["GlobalAppointmentID"], []), changed
        for key in sorted(set(theirs) | set(ours)):
            if theirs.get(key) != ours.get(key):
                print(f"{a['Subject']!r} {key}: file {theirs.get(key)!r}, store {ours.get(key)!r}")
                faults += 1
    sys.exit(min(faults, 100))


if __name__ == "__main__":
    main()
