#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the worked example of docs/model.md against the program.

The document marks three fenced blocks with an HTML comment on the line
before them (invisible where the Markdown is rendered):

  <!-- checked: cli-session -->    lines "$ COMMAND" each followed by the
                                   output the command prints
  <!-- checked: python-code -->    a Python script
  <!-- checked: python-output -->  what that script prints

Every command of the session is run with the built tamrisk-cli first on the
PATH, and the script with this interpreter; their output must match the
document line by line, numbers by value and everything else as text.

Usage: worked_example_test.py MODEL_MD TAMRISK_CLI
"""

import os
import re
import subprocess
import sys

MARKER = re.compile(r"^<!-- checked: ([a-z-]+) -->$")
TOKEN = re.compile(r"[^,\s]+")


def marked_blocks(text):
    """The fenced blocks that follow a marker, by the marker's name."""
    lines = text.split("\n")
    blocks = {}
    for i, line in enumerate(lines):
        match = MARKER.match(line.strip())
        if not match:
            continue
        name = match.group(1)
        if name in blocks:
            raise SystemExit(f"marker '{name}' appears twice")
        if i + 1 >= len(lines) or not lines[i + 1].startswith("```"):
            raise SystemExit(f"marker '{name}' is not followed by a fenced block")
        try:
            end = lines.index("```", i + 2)
        except ValueError:
            raise SystemExit(f"the block of marker '{name}' is not closed")
        blocks[name] = lines[i + 2 : end]
    return blocks


def session_steps(block):
    """(command, expected output lines) for each "$ " line of a console block."""
    steps = []
    for line in block:
        if line.startswith("$ "):
            steps.append((line[2:], []))
        elif not steps:
            raise SystemExit(f"output before the first command: {line!r}")
        else:
            steps[-1][1].append(line)
    return steps


def same_token(expected, actual):
    if expected == actual:
        return True
    try:
        return float(expected) == float(actual)
    except ValueError:
        return False


def compare(what, expected_lines, actual_text):
    """A list of differences between the document's lines and the output."""
    actual_lines = actual_text.rstrip("\n").split("\n") if actual_text.strip() else []
    problems = []
    if len(actual_lines) != len(expected_lines):
        problems.append(f"{what}: {len(expected_lines)} lines in the document, {len(actual_lines)} printed")
    for n, (expected, actual) in enumerate(zip(expected_lines, actual_lines), 1):
        e, a = TOKEN.findall(expected), TOKEN.findall(actual)
        if len(e) != len(a) or not all(same_token(x, y) for x, y in zip(e, a)):
            problems.append(f"{what}, line {n}:\n  document: {expected}\n  printed:  {actual}")
    return problems


def run(what, argv, **kwargs):
    result = subprocess.run(argv, capture_output=True, text=True, timeout=120, **kwargs)
    if result.returncode != 0:
        raise SystemExit(f"{what} failed with status {result.returncode}:\n{result.stderr}")
    return result.stdout


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    document, cli = sys.argv[1], os.path.abspath(sys.argv[2])
    with open(document, encoding="utf-8") as f:
        blocks = marked_blocks(f.read())
    for name in ("cli-session", "python-code", "python-output"):
        if name not in blocks:
            raise SystemExit(f"{document} has no block marked '{name}'")

    problems = []
    steps = session_steps(blocks["cli-session"])
    if not steps:
        raise SystemExit("the session block holds no command")
    env = dict(os.environ, PATH=os.path.dirname(cli) + os.pathsep + os.environ.get("PATH", ""))
    for command, expected in steps:
        if not command.startswith("tamrisk-cli "):
            problems.append(f"a session command does not start with tamrisk-cli: {command}")
            continue
        if not expected:
            problems.append(f"no output shown for: {command}")
        printed = run(command, ["bash", "-o", "pipefail", "-c", command], env=env)
        problems += compare(command, expected, printed)

    printed = run("the Python block", [sys.executable, "-"], input="\n".join(blocks["python-code"]))
    problems += compare("the Python block", blocks["python-output"], printed)

    if problems:
        print("\n".join(problems))
        return 1
    print(f"{len(steps)} commands and the Python block match {document}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
