#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the files that carry the version and the licence beside the code.

- CITATION.cff: the fields a citation needs, and the version the build
  has (the project version in CMakeLists.txt, as --version prints it).
- LICENSE: the GNU GPL version 3.
- the configured man page: no @VARIABLE@ left unfilled, the version in its
  title line, and the pointer to the model's description.

Usage: release_files_test.py VERSION CITATION.cff LICENSE [MAN_PAGE]
"""

import re
import sys


def top_level_fields(text):
    """The scalar top-level fields of a YAML file written as key: value."""
    fields = {}
    for line in text.splitlines():
        match = re.match(r"^([A-Za-z-]+):\s*(.*?)\s*$", line)
        if match:
            fields[match.group(1)] = match.group(2).strip("\"'")
    return fields


def citation_problems(path, version):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    fields = top_level_fields(text)
    expected = {
        "cff-version": "1.2.0",
        "title": "Tamrisk",
        "type": "software",
        "license": "GPL-3.0-or-later",
    }
    problems = [
        f"{path}: {key} is '{fields.get(key)}', expected '{value}'"
        for key, value in expected.items()
        if fields.get(key) != value
    ]
    if fields.get("version") != version:
        problems.append(f"{path}: set version: \"{version}\", the project version in CMakeLists.txt")
    for key in ("message", "authors", "abstract", "keywords"):
        if key not in fields:
            problems.append(f"{path}: no {key}")
    if not re.search(r"^authors:\n  - name: \S", text, re.MULTILINE):
        problems.append(f"{path}: the authors list has no named entry")
    return problems


def license_problems(path):
    with open(path, encoding="utf-8") as f:
        head = f.read(200).split()
    if head[:6] != ["GNU", "GENERAL", "PUBLIC", "LICENSE", "Version", "3,"]:
        return [f"{path}: not the GNU GPL version 3"]
    return []


def man_page_problems(path, version):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    problems = [f"{path}: {name} is not filled in" for name in sorted(set(re.findall(r"@[A-Za-z_]+@", text)))]
    title = next((line for line in text.splitlines() if line.startswith(".TH ")), "")
    if f'"Tamrisk {version}"' not in title:
        problems.append(f"{path}: the title line does not name Tamrisk {version}: {title}")
    if "model.md" not in text:
        problems.append(f"{path}: no pointer to model.md")
    return problems


def main():
    if len(sys.argv) not in (4, 5):
        raise SystemExit(__doc__)
    version, citation, licence = sys.argv[1:4]
    problems = citation_problems(citation, version) + license_problems(licence)
    if len(sys.argv) == 5:
        problems += man_page_problems(sys.argv[4], version)
    if problems:
        print("\n".join(problems))
        return 1
    print(f"version {version}: citation, licence and man page agree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
