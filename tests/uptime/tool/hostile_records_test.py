"""Every face of the real uptime program fed one set of hostile records made from the real sample.

Arguments: the uptime program, the sample export, a scratch folder, the JSON Schema.
Each hostile text is the comment of the newest shutdown request of a machine of its own (and one
is a machine's name); the logs go in as the files wevtutil writes, UTF-8 and UTF-16. Each face
must keep the text by its own rules:
- csv: read back by Python's csv reader, the text whole, or with U+FFFD where it was not UTF-8
  or was NUL;
- json: strict JSON in UTF-8 that the schema validates, the text whole or with U+FFFD;
- text: printed to a console, so no control character but its CR LF line ends and tabs, no
  bidirectional control and nothing that is not UTF-8: a comment's line breaks and tabs become
  one blank and the rest U+FFFD.
A face is added to FACES with the function that finds each machine's comments in its output.
"""
import csv
import html.parser
import io
import json
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "report"))
import check_json  # noqa: E402
from uptime_fleet import renamed, run, sample_records, with_comment, write_export  # noqa: E402

program, sample, scratch, schema = sys.argv[1:5]
REPLACEMENT = "\ufffd"
MEGABYTE_COMMENT = "0123456789abcdef<&>\"'" * 52429

# (machine, the comment as the export's XML holds it, the comment as read; None: the record is
# unreadable). A lone "\udcXX" stands for the byte XX that is not UTF-8; "\ud800" in the UTF-16
# file is a lone surrogate.
HOSTILE_UTF8 = [
    ("QUOTES", "&quot;quoted&quot;, 'single', \"raw\"", "\"quoted\", 'single', \"raw\""),
    ("MARKUP", "&lt;b&gt;x&lt;/b&gt; &amp;amp; ]]&gt; &lt;![CDATA[y]]&gt;",
     "<b>x</b> &amp; ]]> <![CDATA[y]]>"),
    ("FORMULA", "=cmd|' /C calc'!A0", "=cmd|' /C calc'!A0"),
    ("CONTROLS", "\x1b[2J\x1b[31mred\x07\x08\x7f\u0085end", "\x1b[2J\x1b[31mred\x07\x08\x7f\u0085end"),
    ("CHARREFS", "&#x1B;[31m&#7;&#x9;tab", "\x1b[31m\x07\ttab"),
    ("LINES", "one\r\ntwo\nthree\rfour\t\tfive", "one\r\ntwo\nthree\rfour\t\tfive"),
    ("RAWNUL", "a\x00b", "a\x00b"),
    ("NULREF", "a&#0;b", None),  # the reader refuses the record: no XML character is NUL
    ("BIDI", "invoice\u202egpj.exe \u2066isolated\u2069", "invoice\u202egpj.exe \u2066isolated\u2069"),
    ("NOTUTF8", "a\udcff\udcfe\udcc0\udcafb\udce2\udc82", "a\ufffdb\ufffd"),
    ("HUGE", MEGABYTE_COMMENT.replace("&", "&amp;").replace("<", "&lt;"), MEGABYTE_COMMENT),
]
HOSTILE_UTF16 = [("LONESURROGATE", "a\ud800b\udc00c", "a\ufffdb\ufffdc")]
HOSTILE_NAME = ("E\"V'I&lt;L&amp;&gt;", "E\"V'I<L&>")  # a Computer name as logged, and as read
HOSTILE = [(m, e) for m, _, e in HOSTILE_UTF8 + HOSTILE_UTF16] + [(HOSTILE_NAME[1], None)]


def collapsed(text):
    """The text with each run of U+FFFD as one: a face may replace a bad part byte by byte."""
    return re.sub(REPLACEMENT + "+", REPLACEMENT, text)


def csv_comments(output, events):
    """Each machine's comments in the CSV, by machine name. A comment of a megabyte is one cell:
    the reader is let read it (its default stops at 128 KB)."""
    csv.field_size_limit(4 * 1024 * 1024)
    rows = list(csv.DictReader(io.StringIO(output.decode("utf-8-sig", errors="strict"),
                                           newline="")))
    found = {}
    for row in rows:
        text = row["Detail"] if events else row["Last shutdown detail"]
        found.setdefault(row["Machine"].lstrip("'"), []).append(text)
    return found, lambda text: text.replace("\x00", REPLACEMENT)


def json_comments(output, events):
    problems = check_json.problems(check_json.schema_validator(schema), data=output)
    if problems:
        raise ValueError(f"the JSON does not match the schema: {problems[:3]}")
    found = {}
    for machine in json.loads(output)["machines"]:
        texts = [e.get("detail", "") for e in machine.get("events", [])] if events else \
            [(machine.get("lastShutdown") or {}).get("detail", "")]
        found[machine["name"]] = texts
    return found, lambda text: text


UNSAFE = re.compile("[\x00-\x08\x0b\x0c\x0e-\x1f\x7f-\x9f\u202a-\u202e\u2066-\u2069]|\r(?!\n)|(?<!\r)\n")


def console(text):
    """A comment as the text face prints it."""
    return UNSAFE.sub(REPLACEMENT, re.sub("[\r\n\t]+", " ", text))


def text_comments(output, events):
    """The text face, checked whole for what a console must not get; its comments anywhere in it."""
    text = output.decode("utf-8", errors="strict")
    bad = UNSAFE.search(text)
    if bad:
        raise ValueError(f"the text holds {bad.group()!r} at {bad.start()}")
    return {machine: [text] for machine, _ in HOSTILE if "\\\\" + machine in text}, console


class MachineSections(html.parser.HTMLParser):
    """The page's text, machine by machine, as a browser would show it; and any element a log's
    text could have made."""
    PAGE_TAGS = {"html", "head", "meta", "title", "style", "body", "h1", "h2", "p", "ul", "li",
                 "table", "caption", "thead", "tbody", "tr", "th", "td", "a", "br", "section",
                 "bdi", "svg", "desc", "rect", "line", "g", "text", "span", "div", "polygon",
                 "circle", "path"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.sections, self.current, self.depth, self.foreign = {}, None, 0, []

    def handle_starttag(self, tag, attrs):
        if tag not in self.PAGE_TAGS:
            self.foreign.append(tag)
        if tag == "section":
            self.current, self.depth = [], 1
        elif self.current is not None and tag == "section":
            self.depth += 1

    def handle_endtag(self, tag):
        if tag == "section" and self.current is not None:
            text = "".join(self.current)
            name = re.match(r"\s*\\\\(.*?)\n", text)
            self.sections[name.group(1) if name else text[:40]] = [text]
            self.current = None

    def handle_data(self, data):
        if self.current is not None:
            self.current.append(data)


def html_shown(text):
    """A comment as the page shows it: NUL replaced, line ends and tabs blanks, other controls
    and the bidirectional controls dropped."""
    text = text.replace("\x00", REPLACEMENT)
    text = re.sub("[\t\r\n]", " ", text)
    return re.sub("[\x01-\x08\x0b\x0c\x0e-\x1f\x7f-\x9f\u202a-\u202e\u2066-\u2069]", "", text)


def html_comments(output, events):
    page = MachineSections()
    page.feed(output.decode("utf-8", errors="strict"))
    if page.foreign:
        raise ValueError(f"the page holds elements no face writes: {sorted(set(page.foreign))}")
    return page.sections, html_shown


FACES = {
    "text": ([], text_comments),
    "csv": (["/f:csv"], csv_comments),
    "json": (["/f:json"], json_comments),
    "html": (["/f:html"], html_comments),
}


def hostile_logs():
    records = sample_records(sample)
    utf8 = []
    for machine, comment, _ in HOSTILE_UTF8:
        utf8 += renamed(with_comment(records, comment), machine)
    utf8 += renamed(records, HOSTILE_NAME[0])
    utf16 = []
    for machine, comment, _ in HOSTILE_UTF16:
        utf16 += renamed(with_comment(records, comment), machine)
    return [write_export(os.path.join(scratch, "hostile.xml"), utf8),
            write_export(os.path.join(scratch, "hostile-utf16.xml"), utf16, "utf-16")]


def main():
    logs = ["/l:" + path for path in hostile_logs()]
    failures = []
    for face, (switches, comments_of) in FACES.items():
        for events in (False, True):
            what = f"{face}{' /s' if events else ''}"
            code, output = run(program, *logs, *switches, *(["/s"] if events else []))
            if code != 0:
                failures.append(f"{what}: exit code {code}: {output[:300]!r}")
                continue
            try:
                found, as_shown = comments_of(output, events)
            except (ValueError, UnicodeDecodeError, csv.Error) as error:
                failures.append(f"{what}: {error}")
                continue
            for machine, comment in HOSTILE:
                texts = found.get(machine)
                if texts is None:
                    failures.append(f"{what}: {machine!r} is not reported")
                elif comment is None:
                    continue  # its request is left out as unreadable: nothing to find
                elif not any(collapsed(as_shown("(" + comment + ")")) in collapsed(text)
                             for text in texts):
                    failures.append(f"{what}: {machine}: the comment is not as {face} must "
                                    f"show it; found {[t[-80:] for t in texts][:3]!r}")
    # A reference to NUL is no XML character: its record is left out, and said to be.
    code, output = run(program, *logs, "/f:json")
    unreadable = {m["name"]: m.get("unreadableRecords") for m in json.loads(output)["machines"]}
    if unreadable.get("NULREF") != 1 or any(n for m, n in unreadable.items() if m != "NULREF"):
        failures.append(f"json: only NULREF has a record left out: {unreadable}")
    code, output = run(program, *logs, "/s")
    if output.count(b"1 event record(s) could not be read and are left out.") != 1:
        failures.append("text: NULREF's report says a record was left out")
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
