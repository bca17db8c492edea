"""A fleet made from the real sample export: its records once for each machine, renamed.

The newest shutdown request's comment (param6) can be given: whoever restarts a machine writes
it, so it is where hostile text gets in. Names are untrusted too, as any log's Computer is.
"""
import re


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def sample_records(sample):
    with open(sample, encoding="utf-8") as file:
        return re.findall(r"<Event[ >].*?</Event>", file.read(), re.S)


def write_fleet(sample, path, names, comment=None):
    """Writes the fleet's export to path; returns the sample's records as they stand in it."""
    records = sample_records(sample)
    if comment is not None:
        requests = [i for i, r in enumerate(records) if ">1074</EventID>" in r]
        records[requests[-1]] = re.sub(
            r"<Data Name='param6'>[^<]*</Data>",
            lambda _: "<Data Name='param6'>" + xml_text(comment) + "</Data>",
            records[requests[-1]],
        )
    fleet = []
    for name in names:
        fleet += [re.sub(r"<Computer>[^<]*</Computer>",
                         lambda _: "<Computer>" + xml_text(name) + "</Computer>", r)
                  for r in records]
    with open(path, "w", encoding="utf-8", newline="") as file:
        file.write("<Events>\n" + "\n".join(fleet) + "\n</Events>\n")
    return records
