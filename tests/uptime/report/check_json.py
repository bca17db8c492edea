#!/usr/bin/env python3
"""Checks reports of uptime.exe against the JSON Schema with the jsonschema validator.

usage: check_json.py SCHEMA DOCUMENT...            every document must be valid
       check_json.py --invalid SCHEMA DOCUMENT...  every document must be refused

A DOCUMENT of - is read from the standard input, e.g. the output of uptime.exe.
A document must also be strict UTF-8 and strict JSON (no NaN or Infinity, no repeated keys).
"""
import json
import sys

import jsonschema


def strict_load(path):
    if path == "-":
        return strict_parse(sys.stdin.buffer.read())
    with open(path, "rb") as file:
        return strict_parse(file.read())


def strict_parse(data):
    """The document in `data` (bytes), refused unless it is strict UTF-8 and strict JSON."""
    def refuse_constant(name):
        raise ValueError(f"{name} is not JSON")

    def refuse_repeats(pairs):
        keys = [key for key, _ in pairs]
        repeated = {key for key in keys if keys.count(key) > 1}
        if repeated:
            raise ValueError(f"repeated keys: {sorted(repeated)}")
        return dict(pairs)

    text = data.decode("utf-8", errors="strict")
    return json.loads(text, parse_constant=refuse_constant, object_pairs_hook=refuse_repeats)


def problems(validator, path=None, data=None):
    """What is wrong with the document at `path`, or in the bytes `data`: nothing if valid."""
    try:
        document = strict_load(path) if data is None else strict_parse(data)
    except (UnicodeDecodeError, ValueError) as error:
        return [f"not strict JSON in UTF-8: {error}"]
    return [f"{'/'.join(map(str, error.absolute_path)) or '(document)'}: {error.message}"
            for error in validator.iter_errors(document)]


def schema_validator(schema_path):
    """The validator of the schema at `schema_path`, with its formats checked."""
    with open(schema_path, encoding="utf-8") as file:
        schema = json.load(file)
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    formats = getattr(validator_class, "FORMAT_CHECKER", jsonschema.FormatChecker())
    return validator_class(schema, format_checker=formats)


def main(arguments):
    want_invalid = arguments[:1] == ["--invalid"]
    if want_invalid:
        arguments = arguments[1:]
    if len(arguments) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    validator = schema_validator(arguments[0])
    wrong = 0
    for path in arguments[1:]:
        found = problems(validator, path)
        if want_invalid and not found:
            print(f"{path}: valid, but must be refused")
            wrong += 1
        elif want_invalid:
            print(f"{path}: refused as it must be: {found[0]}")
        elif found:
            print(f"{path}: does not match the schema")
            for problem in found:
                print(f"  {problem}")
            wrong += 1
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
