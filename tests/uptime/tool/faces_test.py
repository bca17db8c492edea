"""The CSV and JSON faces of the real uptime program, read back with Python's own CSV reader and
the jsonschema validator, and held against each other and against the text of the same runs.

Arguments: the uptime program, the sample export, a scratch folder, the JSON Schema, the
project's version.
A fleet of two machines is made from the sample; one of its shutdown requests carries a comment
a spreadsheet would run as a formula, and the second machine's name (a log's Computer is
untrusted text too) begins as one.
"""
import calendar
import csv
import io
import json
import os
import re
import sys
import time
from datetime import datetime
from zoneinfo import ZoneInfo

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "report"))
import check_json  # noqa: E402
from uptime_fleet import renamed, run, sample_records, with_comment, write_export  # noqa: E402

program, sample, scratch, schema, version = sys.argv[1:6]
HOSTILE = '=HYPERLINK("http://example.invalid/?x=1,2","Open") & more'
LOCAL_ISO = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$")
# CSV times are the desk's local time with their offset: a zone with summer time shows a wrong
# or a single offset, where UTC would hide it.
ZONE = "Europe/Paris"
os.environ["TZ"] = ZONE
validator = check_json.schema_validator(schema)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def tool(*args):
    return run(program, *args)


def read_csv(data):
    check(data.startswith(b"\xef\xbb\xbf"), "the CSV begins with a UTF-8 byte order mark")
    check(data.count(b"\n") == data.count(b"\r\n"), "every CSV line ends in CR LF")
    return list(csv.DictReader(io.StringIO(data.decode("utf-8-sig"), newline="")))


def same_instant(utc, local):
    """Whether a CSV time names the JSON time's instant, at the zone's offset of that instant."""
    if not utc or not local:
        return utc is None and local == ""
    at, shown = datetime.fromisoformat(utc.replace("Z", "+00:00")), datetime.fromisoformat(local)
    return at == shown and shown.utcoffset() == at.astimezone(ZoneInfo(ZONE)).utcoffset()


def read_json(data, what):
    """The document, once the validator found it strict JSON in UTF-8 and as the schema says."""
    found = check_json.problems(validator, data=data)
    check(not found, f"{what}: the JSON matches the schema: {found[:3]}")
    return json.loads(data) if not found else {"machines": [], "filesNotRead": []}


records = sample_records(sample)
hostile_xml = HOSTILE.replace("&", "&amp;").replace('"', "&quot;")
fleet = []
for name in ("ALPHA", "=BETA"):
    fleet += renamed(with_comment(records, hostile_xml), name)
fleet_path = write_export(os.path.join(scratch, "fleet.xml"), fleet)
boots = sum(1 for r in records if ">6005</EventID>" in r)

# One row a machine, with numbers and times a program reads as they are.
code, out = tool("/l:" + fleet_path, "/f:csv")
check(code == 0, f"the summary run succeeds (exit code {code})")
rows = read_csv(out)
check(sorted(r["Machine"] for r in rows) == ["'=BETA", "ALPHA"],
      f"one row for each machine, a formula name defused: {[r['Machine'] for r in rows]}")
for row in rows:
    check(0 <= float(row["Availability (%)"]) <= 100, "the availability is a percentage")
    check(int(row["Reboots"]) > 0 and int(row["Uptime (s)"]) > 0, "reboots and uptime counted")
    check(LOCAL_ISO.match(row["As of"]) and LOCAL_ISO.match(row["Period start"]),
          "times are ISO 8601 with their offset")
    check(row["Failure"] == "", "no machine failed")
check(rows[0]["Uptime (s)"] == rows[1]["Uptime (s)"], "two machines of one log, one uptime")

# One row an event; the hostile comment stays text.
code, out = tool("/l:" + fleet_path, "/s", "/F:CSV")
check(code == 0, f"the events run succeeds (exit code {code})")
events = read_csv(out)
for name in ("ALPHA", "'=BETA"):
    mine = [e for e in events if e["Machine"] == name]
    check(sum(1 for e in mine if e["Event"] == "Boot") == boots, f"{name}: a row for each boot")
    check(all(LOCAL_ISO.match(e["Time"]) for e in mine), f"{name}: event times are ISO 8601")
    check(sum(1 for e in mine if e["Detail"].endswith("(" + HOSTILE + ")")) == 1,
          f"{name}: the comment with its quotes and comma read back whole")
check(not any(cell.startswith(("=", "+", "-", "@", "\t", "\r"))
              for e in events for cell in e.values() if cell),
      "no cell begins as a formula")
check(sum(1 for e in events if e["Prior downtime (s)"]) > 0
      and all(int(e["Prior uptime (s)"]) >= 0 for e in events if e["Prior uptime (s)"]),
      "prior uptimes and downtimes are seconds")

# The JSON of the same runs: valid, and telling what the CSV tells.
before = time.time()
code, out = tool("/l:" + fleet_path, "/f:json")
after = time.time()
check(code == 0, f"the JSON summary run succeeds (exit code {code})")
document = read_json(out, "summary")
check(document.get("version") == version, f"the version is the project's: {document.get('version')}")
made = calendar.timegm(time.strptime(document.get("generatedAt", "1970-01-01T00:00:00Z"),
                                     "%Y-%m-%dT%H:%M:%SZ"))
check(int(before) - 1 <= made <= after + 1, f"generatedAt is now, in UTC: {document.get('generatedAt')}")
by_name = {m["name"]: m for m in document["machines"]}
check(sorted(by_name) == ["=BETA", "ALPHA"], f"the machines, names as logged: {sorted(by_name)}")
for row in rows:
    machine = by_name.get(row["Machine"].lstrip("'"), {})
    for column, field in (("Reboots", "reboots"), ("Uptime (s)", "uptimeSeconds"),
                          ("Downtime (s)", "downtimeSeconds")):
        check(str(machine.get(field)) == row[column], f"{row['Machine']}: {field} as the CSV's")
    for column, field in (("As of", "asOf"), ("Period start", "periodStart"),
                          ("Last boot", "lastBoot")):
        check(same_instant(machine.get(field), row[column]),
              f"{row['Machine']}: {field} the CSV's instant: {machine.get(field)} {row[column]}")
    check(abs(machine.get("availability", -1) - float(row["Availability (%)"])) < 0.0005,
          f"{row['Machine']}: the availability as the CSV's")
    check("events" not in machine, "without /s no events")
    check((machine.get("lastShutdown") or {}).get("detail", "").endswith("(" + HOSTILE + ")"),
          f"{row['Machine']}: the last shutdown's comment whole")
period = document.get("period") or {}
check(same_instant(period.get("from"), min(rows, key=lambda r: r["Period start"])["Period start"])
      and same_instant(period.get("to"), max(rows, key=lambda r: r["As of"])["As of"]),
      f"the period spans the machines': {period}")

code, out = tool("/l:" + fleet_path, "/s", "/f:json")
document = read_json(out, "events")
for machine in document["machines"]:
    csv_name = ("'" if machine["name"].startswith("=") else "") + machine["name"]
    mine = [e for e in events if e["Machine"] == csv_name]
    times = [e["time"] for e in machine.get("events", [])]
    check(len(times) == len(mine) and all(same_instant(t, e["Time"]) for t, e in zip(times, mine)),
          f"{machine['name']}: an event for each CSV row, in its order, at its instant")
    check([e.get("priorDowntimeSeconds") for e in machine.get("events", [])
           if e.get("priorDowntimeSeconds") is not None]
          == [int(e["Prior downtime (s)"]) for e in mine if e["Prior downtime (s)"]],
          f"{machine['name']}: the downtimes as the CSV's")
    check(sum(1 for e in machine.get("events", []) if e["event"] == "boot") == boots,
          f"{machine['name']}: every boot")

# The text of the same run names the same reboots and availability.
code, text = tool("/l:" + fleet_path)
for machine in by_name.values():
    line = re.search(rb"\\\\" + re.escape(machine["name"].encode()) + rb" +([\d.]+)% .*? (\d+) ",
                     text)
    check(line and int(line.group(2)) == machine["reboots"]
          and abs(float(line.group(1)) - machine["availability"]) < 0.0001,
          f"\\\\{machine['name']}: the text's summary row tells the JSON's figures")

# This computer without /s: its name and its time up, as the text's one line says them.
code, text = tool()
document = read_json(tool("/f:json")[1], "this computer")
line = re.match(rb"\\\\(.+) has been up for: (\d+) day", text)
machines = document["machines"]
check(line and len(machines) == 1 and machines[0]["name"].encode() == line.group(1)
      and machines[0]["upSeconds"] // 86400 == int(line.group(2)) and document["period"] is None,
      f"this computer: its name and uptime as the text's: {text!r} {machines}")

# Machines that fail: each with its reason, as the text says it; the run's exit code stays.
code, text = tool("SRV-ONE", "SRV-TWO")
code_json, out = tool("SRV-ONE", "SRV-TWO", "/f:json")
document = read_json(out, "failing machines")
check(code_json == code != 0, f"failing machines: the exit code as the text run's ({code_json})")
check(document.get("period") is None, "no history read: no period")
for machine in document["machines"]:
    failure = machine.get("failure", {})
    check(failure.get("kind") == "failed" and failure.get("reason", "").encode() in text,
          f"{machine['name']}: its failure, as the text gives it: {failure}")
check(sorted(m["name"] for m in document["machines"]) == ["SRV-ONE", "SRV-TWO"],
      "every failing machine is in the document")

# A file that cannot be read beside one that can; a period with nothing in it.
missing = os.path.join(scratch, "missing.xml")
code, out = tool("/l:" + fleet_path, "/l:" + missing, "/f:json")
document = read_json(out, "a file not read")
check(code == 6 and [f["source"] for f in document["filesNotRead"]] == [missing],
      f"the file not read is listed with its reason: {code} {document['filesNotRead']}")
for face in ("/f:json", "/f:csv"):
    code, out = tool("/l:" + fleet_path, "/d:01/01/2030", "/s", face)
    check(code == 0, f"{face}: a period after the log's end is reported ({code})")
    if face == "/f:json":
        document = read_json(out, "an empty period")
        check(all(m.get("events") == [] and m.get("reboots") == 0 and m["availability"] is None
                  and m["periodStart"] == m["asOf"] for m in document["machines"])
              and len(document["machines"]) == 2,
              f"an empty period: no events, no reboots, no availability: {out[:300]!r}")
    else:
        check(len(read_csv(out)) == 0, "an empty period: no event rows")

# /o: writes the same bytes to the file, and leaves an old file whole when it cannot write.
target = os.path.join(scratch, "report.csv")
code, out = tool("/l:" + fleet_path, "/f:csv", "/o:" + target)
check(code == 0 and out == b"", "/o: writes nothing to standard output")
with open(target, "rb") as file:
    written = file.read()
check(written == tool("/l:" + fleet_path, "/f:csv")[1], "/o: writes the whole report")
code, out = tool("/l:" + fleet_path, "/f:csv", "/o:" + os.path.join(scratch, "none", "r.csv"))
check(code != 0 and b"cannot be written" in out, f"/o: into no folder fails clearly: {out!r}")
old = os.path.join(scratch, "read-only.csv")
if os.path.exists(old):
    os.chmod(old, 0o644)
with open(old, "wb") as file:
    file.write(b"last week's report\r\n")
os.chmod(old, 0o444)
code, out = tool("/l:" + fleet_path, "/f:json", "/o:" + old)
with open(old, "rb") as file:
    check(code == 3 and b"read-only" in out and file.read() == b"last week's report\r\n",
          f"/o: onto a read-only file fails with its reason and leaves it whole: {code} {out!r}")
code, out = tool("/l:" + missing, "/f:json", "/o:" + old)
with open(old, "rb") as file:
    check(code == 5 and b"No report can be made" in out
          and file.read() == b"last week's report\r\n",
          f"a run that reports nothing says why and leaves the /o: file whole: {code} {out!r}")
code, out = tool("/l:" + fleet_path, "/f:xml")
check(code == 1 and b"/f:json" in out, "an unknown face is refused with the faces there are")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
