"""The HTML face of the real uptime program, rendered by a real browser (headless chromium).

Arguments: the uptime program, the sample export, a scratch folder.
A fleet of two machines is made from the sample; the second one's name and a shutdown comment
are hostile. The page is rendered to a picture, where the timeline's colours must stand at the x
the events give; to its DOM, which must hold the expected rows and nothing active; and to PDF,
whose pages must be A4 landscape.
Exits 77 (skipped) when chromium is not installed.
"""
import csv
import html.parser
import io
import os
import re
import shutil
import subprocess
import sys
from datetime import datetime

from uptime_fleet import write_fleet

program, sample, scratch = sys.argv[1:4]
browser = shutil.which("chromium") or shutil.which("chromium-browser")
if browser is None:
    print("chromium is not installed: skipped")
    sys.exit(77)

HOSTILE_NAME = 'B<b>ETA</b>"\''
HOSTILE = '</td><script>alert("x")</script> & ]]> \u202egnp.exe\u202c <img src="http://example.invalid/x">'
WIDTH, HEIGHT = 1280, 2400
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args):
    done = subprocess.run([program, *args], capture_output=True)
    return done.returncode, done.stdout


def seconds(iso):
    return datetime.fromisoformat(iso).timestamp()


def chromium(*args):
    profile = os.path.join(scratch, "profile")
    done = subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu",
                           "--hide-scrollbars", "--force-device-scale-factor=1",
                           "--user-data-dir=" + profile, *args],
                          capture_output=True, timeout=120)
    return done.returncode, done.stdout


class Dom(html.parser.HTMLParser):
    """What the test needs of the page: its tables' rows, its timelines, its links and scripts."""

    def __init__(self):
        super().__init__()
        self.tables = []  # (class, rows in its tbody, caption text)
        self.timelines = []  # the attributes of each svg.timeline
        self.scripts = 0
        self.links = []  # every src= and href=
        self.text = []
        self.in_body = self.in_caption = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.links += [attrs[a] for a in ("src", "href") if a in attrs]
        if tag == "script":
            self.scripts += 1
        elif tag == "table":
            self.tables.append([attrs.get("class"), 0, ""])
        elif tag == "tbody":
            self.in_body = True
        elif tag == "tr" and self.in_body:
            self.tables[-1][1] += 1
        elif tag == "caption":
            self.in_caption = True
        elif tag == "svg" and attrs.get("class") == "timeline":
            self.timelines.append(attrs)

    def handle_endtag(self, tag):
        self.in_body = self.in_body and tag != "tbody"
        self.in_caption = self.in_caption and tag != "caption"

    def handle_data(self, data):
        self.text.append(data)
        if self.in_caption:
            self.tables[-1][2] += data


def text_event_rows(report):
    """Each machine's count of event rows in the text report, by its name."""
    counts = {}
    for part in report.split("=" * 79):
        name = re.search(r"Uptime Report for: \\\\(.*)", part)
        table = re.search(r"-{10} -{11} .*?\r\n\r\n(.*?)\r\n\r\n", part, re.S)
        if name and table:
            counts[name.group(1).rstrip("\r")] = len(table.group(1).split("\r\n"))
    return counts


def pixels(png):
    """The picture as rows of (r, g, b), read through ImageMagick's plain PPM."""
    ppm = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], capture_output=True,
                         check=True).stdout
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
    width, height = int(header.group(1)), int(header.group(2))
    data = ppm[header.end():]
    return width, height, lambda x, y: tuple(data[(y * width + x) * 3:(y * width + x) * 3 + 3])


def near(colour, expected):
    return all(abs(a - b) <= 8 for a, b in zip(colour, expected))


fleet_path = os.path.join(scratch, "fleet.xml")
write_fleet(sample, fleet_path, ("ALPHA", HOSTILE_NAME), HOSTILE)
page_path = os.path.join(scratch, "page.html")
if os.path.exists(page_path):
    os.remove(page_path)
code, out = run("/l:" + fleet_path, "/f:html", "/o:" + page_path)
check(code == 0 and out == b"", f"the page is written to the /o: file: {code} {out!r}")
with open(page_path, encoding="utf-8") as file:
    page = file.read()

# Self-contained: no script, nothing fetched.
check(page.startswith("<!DOCTYPE html>") and '<html lang="en">' in page
      and '<meta charset="utf-8">' in page, "a UTF-8 HTML5 page with its language")
check(not re.search(r"<script|<link|<iframe|<object|@import|url\(|javascript:", page, re.I),
      "the page holds nothing active and loads nothing")
check("\u202e" not in page and "\u202c" not in page, "the log's bidi controls are neutralised")

code, dumped = chromium("--dump-dom", "file://" + page_path)
check(code == 0, f"chromium dumps the DOM (exit code {code})")
dom = Dom()
dom.feed(dumped.decode("utf-8"))
check(dom.scripts == 0, "no script element in the rendered DOM, the hostile comment included")
check(all(link.startswith("#") for link in dom.links),
      f"every link stays in the page: {[l for l in dom.links if not l.startswith('#')]}")
text = "".join(dom.text)
check(HOSTILE.replace("\u202e", "").replace("\u202c", "") in text,
      "the hostile comment reads as its text")
check("\\\\" + HOSTILE_NAME in text, "the hostile name reads as its text")

# The rows: one summary row a machine; each events table as long as the text report's.
summary = [t for t in dom.tables if t[0] == "summary"]
check(len(summary) == 1 and summary[0][1] == 2, f"one summary row for each machine: {summary}")
code, report = run("/l:" + fleet_path, "/s")
expected = text_event_rows(report.decode("utf-8"))
events = {t[2].replace("System events of \\\\", ""): t[1] for t in dom.tables if t[0] == "events"}
check(sorted(expected) == ["ALPHA", HOSTILE_NAME] and events == expected,
      f"each machine's events table has the text report's rows: {events} against {expected}")

# The picture: at the x of a known outage the down colour, at the x of an up stretch the up one.
code, data = run("/l:" + fleet_path, "/s", "/f:csv")
rows = [r for r in csv.DictReader(io.StringIO(data.decode("utf-8-sig"), newline=""))
        if r["Machine"] == "ALPHA"]
outages = [(seconds(r["Time"]) - int(r["Prior downtime (s)"]), seconds(r["Time"]))
           for r in rows if r["Prior downtime (s)"]]
ups = [(seconds(r["Time"]) - int(r["Prior uptime (s)"]), seconds(r["Time"]))
       for r in rows if r["Prior uptime (s)"]]
check(len(outages) >= 1 and len(ups) >= 1, "the sample has an outage and an up stretch")
colour = {state: tuple(bytes.fromhex(value))
          for state, value in re.findall(r"\.(up|clean) \{ fill: #([0-9a-f]{6}); \}", page)}
margin = re.search(r"body \{ margin: (\d+)px (\d+)px;", page)
check(len(colour) == 2 and margin, "the page gives its colours and its margins")
check(len(dom.timelines) == 2, f"a timeline for each machine: {len(dom.timelines)}")
if outages and ups and len(colour) == 2 and margin and dom.timelines:
    timeline = dom.timelines[0]
    start, end = seconds(timeline["data-from"]), seconds(timeline["data-to"])
    view_width = float(timeline["viewbox"].split()[2])
    side = int(margin.group(2))
    screen_width = WIDTH - 2 * side

    def x_of(moment):
        return round(side + (moment - start) / (end - start) * screen_width)

    # The sample's outages last seconds: each is drawn a few pixels wide, centred on it. The one
    # farthest from the ends is sampled, clear of the bar's edges.
    outage = max(outages, key=lambda o: min(o[0] - start, end - o[1]))
    up = max(ups, key=lambda u: u[1] - u[0])
    x_down, x_up = x_of((outage[0] + outage[1]) / 2), x_of((up[0] + up[1]) / 2)
    shot = os.path.join(scratch, "page.png")
    code, _ = chromium(f"--window-size={WIDTH},{HEIGHT}", "--screenshot=" + shot,
                       "file://" + page_path)
    check(code == 0 and os.path.exists(shot), "chromium renders the page to a picture")
    width, height, at = pixels(shot)
    # The bars: runs of rows up at x_up, as tall as a bar drawn at this width.
    bar_height = 24 * screen_width / view_width
    bars, run_start = [], None
    for y in range(height + 1):
        is_up = y < height and near(at(x_up, y), colour["up"])
        if is_up and run_start is None:
            run_start = y
        elif not is_up and run_start is not None:
            if y - run_start >= bar_height - 3:
                bars.append((run_start + y) // 2)
            run_start = None
    check(len(bars) == 2, f"two timeline bars up at x={x_up}: rows {bars}")
    for y in bars:
        check(near(at(x_down, y), colour["clean"]),
              f"down after a clean shutdown at x={x_down} (row {y}): {at(x_down, y)}")

# Printed: every page A4 landscape (842 x 595 points).
pdf = os.path.join(scratch, "page.pdf")
code, _ = chromium("--no-pdf-header-footer", "--print-to-pdf=" + pdf, "file://" + page_path)
with open(pdf, "rb") as file:
    boxes = re.findall(rb"/MediaBox\s*\[\s*0 0 ([\d.]+) ([\d.]+)\s*\]", file.read())
check(code == 0 and boxes and all(abs(float(w) - 841.9) < 1 and abs(float(h) - 595.3) < 1
                                  for w, h in boxes),
      f"the page prints on A4 landscape: {boxes}")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
