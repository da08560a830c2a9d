#!/usr/bin/env python3
"""The host developer's guide shows its examples truthfully: its C and Python
examples are the files in examples/, both run against the built library, and
every line they print is a line of the output the guide shows.

    guide_examples.py <guide.md> <examples dir> <library> [<C example binary>]
"""
import os
import re
import subprocess
import sys

# The only line whose content depends on timing: which staged reports the
# poller happened to collect before the final one.
STAGES = re.compile(r"stages collected: \[(\d, )*3\]")


def check_included(guide, path, fence, failures):
    with open(path, encoding="utf-8") as f:
        code = f.read()
    if "```%s\n%s```\n" % (fence, code) not in guide:
        failures.append("the guide does not hold %s verbatim in a ```%s block" % (path, fence))


def check_run(guide_lines, command, failures, racy=None):
    run = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         universal_newlines=True, timeout=300)
    name = os.path.basename(command[1] if command[0] == sys.executable else command[0])
    if run.returncode != 0:
        failures.append("%s exited with %d:\n%s%s" % (name, run.returncode, run.stdout, run.stderr))
        return
    if run.stderr:
        failures.append("%s wrote to standard error:\n%s" % (name, run.stderr))
    for line in run.stdout.splitlines():
        if racy is not None and racy.fullmatch(line):
            continue
        if line not in guide_lines:
            failures.append("%s printed a line the guide does not show:\n%s" % (name, line))


def main(argv):
    if len(argv) not in (4, 5):
        print(__doc__)
        return 2
    guide_path, examples, library = argv[1:4]
    with open(guide_path, encoding="utf-8") as f:
        guide = f.read()
    guide_lines = set(guide.splitlines())
    failures = []

    host_py = os.path.join(examples, "host.py")
    check_included(guide, host_py, "python", failures)
    check_included(guide, os.path.join(examples, "minimal.c"), "c", failures)

    check_run(guide_lines, [sys.executable, host_py, library,
                            os.path.join(examples, "score_request.json"),
                            os.path.join(examples, "snapshot.json")], failures, STAGES)
    if len(argv) == 5:
        check_run(guide_lines, [argv[4]], failures)

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
