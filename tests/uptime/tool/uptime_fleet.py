"""Fleets of exported logs made from the real sample, for the tests of the tool's faces.

Records are kept as text; a fleet is written as the bytes wevtutil would write, UTF-8 or UTF-16.
"""
import re
import subprocess


def sample_records(sample):
    """The <Event> records of the sample export, in order."""
    with open(sample, encoding="utf-8") as file:
        return re.findall(r"<Event[ >].*?</Event>", file.read(), re.S)


def renamed(records, computer):
    """The records as the machine `computer` logged them (its name as XML text)."""
    return [re.sub(r"<Computer>[^<]*</Computer>", lambda _: f"<Computer>{computer}</Computer>", r)
            for r in records]


def requests(records):
    """The indexes of the shutdown and restart requests (User32 1074)."""
    return [i for i, r in enumerate(records) if ">1074</EventID>" in r]


def with_comment(records, comment_xml):
    """The records with the comment of the newest request replaced by `comment_xml`."""
    changed = list(records)
    last = requests(records)[-1]
    changed[last] = re.sub(r"<Data Name='param6'>[^<]*</Data>",
                           lambda _: "<Data Name='param6'>" + comment_xml + "</Data>",
                           changed[last])
    return changed


def export_bytes(records, encoding="utf-8"):
    """An export file's bytes: UTF-8 as is, or UTF-16 LE with its byte order mark."""
    text = "<Events>\n" + "\n".join(records) + "\n</Events>\n"
    if encoding == "utf-8":
        return text.encode("utf-8", errors="surrogateescape")
    return b"\xff\xfe" + text.encode("utf-16-le", errors="surrogatepass")


def write_export(path, records, encoding="utf-8"):
    with open(path, "wb") as file:
        file.write(export_bytes(records, encoding))
    return path


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def write_fleet(sample, path, names, comment=None):
    """Writes a fleet of the sample's records once for each name, the newest request carrying
    `comment` if given; returns the sample's records as they stand in it."""
    records = sample_records(sample)
    if comment is not None:
        records = with_comment(records, xml_text(comment))
    fleet = []
    for name in names:
        fleet += renamed(records, xml_text(name))
    write_export(path, fleet)
    return records


def run(program, *args):
    """The tool's exit code and standard output (bytes)."""
    done = subprocess.run([program, *args], capture_output=True, timeout=300)
    return done.returncode, done.stdout
