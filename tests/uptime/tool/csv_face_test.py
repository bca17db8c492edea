"""The CSV face of the real uptime program, read back with Python's own CSV reader.

Arguments: the uptime program, the sample export, a scratch folder.
A fleet of two machines is made from the sample; one of its shutdown requests carries a comment
a spreadsheet would run as a formula, and the second machine's name (a log's Computer is
untrusted text too) begins as one.
"""
import csv
import io
import os
import re
import subprocess
import sys
from datetime import datetime
from zoneinfo import ZoneInfo

from sample_fleet import write_fleet

program, sample, scratch = sys.argv[1:4]
HOSTILE = '=HYPERLINK("http://example.invalid/?x=1,2","Open") & more'
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args, zone="Europe/Paris"):
    done = subprocess.run([program, *args], capture_output=True, env={**os.environ, "TZ": zone})
    return done.returncode, done.stdout


def read_csv(data):
    check(data.startswith(b"\xef\xbb\xbf"), "the CSV begins with a UTF-8 byte order mark")
    check(data.count(b"\n") == data.count(b"\r\n"), "every CSV line ends in CR LF")
    return list(csv.DictReader(io.StringIO(data.decode("utf-8-sig"), newline="")))


fleet_path = os.path.join(scratch, "fleet.xml")
records = write_fleet(sample, fleet_path, ("ALPHA", "=BETA"), HOSTILE)
boots = sum(1 for r in records if ">6005</EventID>" in r)

# One row a machine, with numbers and times a program reads as they are.
code, out = run("/l:" + fleet_path, "/f:csv")
check(code == 0, f"the summary run succeeds (exit code {code})")
rows = read_csv(out)
check(sorted(r["Machine"] for r in rows) == ["'=BETA", "ALPHA"],
      f"one row for each machine, a formula name defused: {[r['Machine'] for r in rows]}")
iso = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$")
for row in rows:
    check(0 <= float(row["Availability (%)"]) <= 100, "the availability is a percentage")
    check(int(row["Reboots"]) > 0 and int(row["Uptime (s)"]) > 0, "reboots and uptime counted")
    check(iso.match(row["As of"]) and iso.match(row["Period start"]), "times are ISO 8601")
    check(row["Failure"] == "", "no machine failed")
check(rows[0]["Uptime (s)"] == rows[1]["Uptime (s)"], "two machines of one log, one uptime")

# One row an event; the hostile comment stays text.
code, out = run("/l:" + fleet_path, "/s", "/F:CSV")
check(code == 0, f"the events run succeeds (exit code {code})")
events = read_csv(out)
for name in ("ALPHA", "'=BETA"):
    mine = [e for e in events if e["Machine"] == name]
    check(sum(1 for e in mine if e["Event"] == "Boot") == boots, f"{name}: a row for each boot")
    check(all(iso.match(e["Time"]) for e in mine), f"{name}: event times are ISO 8601")
    check(sum(1 for e in mine if e["Detail"].endswith("(" + HOSTILE + ")")) == 1,
          f"{name}: the comment with its quotes and comma read back whole")
check(not any(cell.startswith(("=", "+", "-", "@", "\t", "\r"))
              for e in events for cell in e.values() if cell),
      "no cell begins as a formula")
check(sum(1 for e in events if e["Prior downtime (s)"]) > 0
      and all(int(e["Prior uptime (s)"]) >= 0 for e in events if e["Prior uptime (s)"]),
      "prior uptimes and downtimes are seconds")

# Times are the desk's local time with that instant's offset, and still the same instants.
paris = ZoneInfo("Europe/Paris")
in_utc = read_csv(run("/l:" + fleet_path, "/s", "/f:csv", zone="UTC")[1])
stamps = [(datetime.fromisoformat(e["Time"]), datetime.fromisoformat(u["Time"]))
          for e, u in zip(events, in_utc)]
check(len(stamps) == len(events) > 0
      and all(local == utc and local.utcoffset() == local.astimezone(paris).utcoffset()
              and utc.utcoffset().total_seconds() == 0 for local, utc in stamps),
      "event times carry the local offset of their instant and name the same instants")

# /o: writes the same bytes to the file, and leaves an old file whole when it cannot write.
target = os.path.join(scratch, "report.csv")
code, out = run("/l:" + fleet_path, "/f:csv", "/o:" + target)
check(code == 0 and out == b"", "/o: writes nothing to standard output")
with open(target, "rb") as file:
    written = file.read()
check(written == run("/l:" + fleet_path, "/f:csv")[1], "/o: writes the whole report")
code, out = run("/l:" + fleet_path, "/f:csv", "/o:" + os.path.join(scratch, "none", "r.csv"))
check(code != 0 and b"cannot be written" in out, f"/o: into no folder fails clearly: {out!r}")
old = os.path.join(scratch, "read-only.csv")
if os.path.exists(old):
    os.chmod(old, 0o644)
with open(old, "wb") as file:
    file.write(b"last week's report\r\n")
os.chmod(old, 0o444)
code, out = run("/l:" + fleet_path, "/f:csv", "/o:" + old)
with open(old, "rb") as file:
    check(code == 3 and b"read-only" in out and file.read() == b"last week's report\r\n",
          f"/o: onto a read-only file fails with its reason and leaves it whole: {code} {out!r}")
code, out = run("/l:" + os.path.join(scratch, "missing.xml"), "/f:csv", "/o:" + old)
with open(old, "rb") as file:
    check(code == 5 and b"No report can be made" in out
          and file.read() == b"last week's report\r\n",
          f"a run that reports nothing says why and leaves the /o: file whole: {code} {out!r}")
code, out = run("/l:" + fleet_path, "/f:json")
check(code == 1 and b"/f:csv" in out, "an unknown face is refused with the faces there are")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
