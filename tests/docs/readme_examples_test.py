#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that the README shows the example scripts exactly as the tests run them.

Each block marked `<!-- example file: PATH -->` must be the file at PATH
byte for byte, and every script under examples/ must be shown so (the notebook,
which the Python tests run, is linked rather than shown).

Usage: readme_examples_test.py SOURCE_DIR
"""

import pathlib
import re
import sys


def main(source):
    readme = (source / "README.md").read_text(encoding="utf-8")
    shown = {}
    problems = []
    for match in re.finditer(r"<!-- example file: (\S+) -->\n```\w*\n(.*?)```\n", readme, re.DOTALL):
        path, text = match.group(1), match.group(2)
        if path in shown:
            problems.append(f"README.md shows {path} twice")
        shown[path] = text
    files = sorted(
        p.relative_to(source).as_posix()
        for p in (source / "examples").rglob("*")
        if p.is_file() and p.suffix != ".ipynb"
    )
    for path in files:
        if path not in shown:
            problems.append(f"README.md does not show {path} (<!-- example file: {path} --> and the file's text)")
        elif shown[path] != (source / path).read_text(encoding="utf-8"):
            problems.append(f"README.md shows {path} otherwise than the file holds it")
    for path in shown:
        if path not in files:
            problems.append(f"README.md shows {path}, which is not under examples/")
    for problem in problems:
        print(problem)
    print(f"{len(shown)} example files compared, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
