#!/usr/bin/env python3
"""The host developer's guide shows its examples truthfully: its C and Python
examples are the files in examples/, both run against the built library, and
every line they print is a line of the output the guide shows; every request
in its tables of requests and errors gives the error shown; and every worked
example of the rules reference gives the answer shown.

    guide_examples.py <guide.md> <rules.md> <examples dir> <library> [<C example binary>]
"""
import ctypes
import os
import re
import subprocess
import sys
import time

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


# A table of requests: "| search request | error |" or "| score request | error |".
# A request cell that is one code span is replayed ("(empty)" is no bytes,
# "<FF>" stands for the byte 0xFF); its error cell is the exact text, in the
# cell's first code span, or starts with "none" when the request succeeds.
TABLE = re.compile(r"^\| (search|score) request \| error \|$")
SPAN = re.compile(r"(`+)(.+?)(?<!`)\1(?!`)")


def code_span(cell):
    match = SPAN.match(cell)
    if match is None:
        return None, 0
    text = match.group(2)
    if len(text) > 2 and text[0] == " " and text[-1] == " ":
        text = text[1:-1]
    return text, match.end()


def request_tables(guide_lines):
    kind = None
    for line in guide_lines:
        header = TABLE.match(line)
        if header:
            kind = header.group(1)
        elif kind and not line.startswith("|"):
            kind = None
        elif kind and not line.startswith("|---"):
            cell, error = [cell.strip() for cell in line.strip("|").split(" | ")]
            request, end = ("", len(cell)) if cell == "(empty)" else code_span(cell)
            if end != len(cell):
                continue  # a request described in words
            expected = None if error.startswith("none") else code_span(error)[0]
            yield kind, request.replace("<FF>", "\udcff"), expected, line


def call(kind, request, lib):
    data = request.encode("utf-8", "surrogateescape")
    buf = ctypes.create_string_buffer(1 << 16)
    length = ctypes.c_size_t(0)
    if kind == "score":
        status = lib.qrv_score(data, len(data), buf, len(buf), ctypes.byref(length))
    else:
        job = lib.qrv_search_start(data, len(data))
        status = 0
        while status == 0:
            time.sleep(0.001)
            status = lib.qrv_search_poll(job, buf, len(buf), ctypes.byref(length))
    return status, buf.raw[:length.value].decode("utf-8")


def replay(kind, request, lib):
    status, text = call(kind, request, lib)
    return None if status == 1 else text if status == -1 else "status %d" % status


def load(library):
    lib = ctypes.CDLL(library)
    size_p = ctypes.POINTER(ctypes.c_size_t)
    lib.qrv_score.argtypes = [ctypes.c_char_p, ctypes.c_size_t, ctypes.c_void_p,
                              ctypes.c_size_t, size_p]
    lib.qrv_search_start.argtypes = [ctypes.c_char_p, ctypes.c_size_t]
    lib.qrv_search_start.restype = ctypes.c_uint64
    lib.qrv_search_poll.argtypes = [ctypes.c_uint64, ctypes.c_void_p, ctypes.c_size_t, size_p]
    return lib


def check_tables(guide_lines, lib, failures):
    kinds = set()
    for kind, request, expected, line in request_tables(guide_lines):
        kinds.add(kind)
        got = replay(kind, request, lib)
        if got != expected:
            failures.append("the library answers %r to the guide's row\n%s" % (got, line))
    if kinds != {"search", "score"}:
        failures.append("the guide has no table of search requests and score requests")


# The rules reference's worked examples: every row of a table whose header ends
# in "| score request | answer |" is replayed. Its request cell is one code
# span; its answer cell begins with a code span, the whole answer.
EXAMPLES = re.compile(r"^\|.* \| score request \| answer \|$")


def check_examples(rules_lines, lib, failures):
    replayed, table = 0, False
    for line in rules_lines:
        if EXAMPLES.match(line):
            table = True
        elif table and not line.startswith("|"):
            table = False
        elif table and not line.startswith("|---"):
            cells = [cell.strip() for cell in line.strip("|").split(" | ")]
            request, end = code_span(cells[-2]) if len(cells) > 2 else (None, 0)
            answer = code_span(cells[-1])[0]
            if request is None or end != len(cells[-2]) or answer is None:
                failures.append("a worked example without its request and answer:\n%s" % line)
                continue
            replayed += 1
            status, got = call("score", request, lib)
            if status != 1 or got != answer:
                failures.append("the library answers %r to the rules' row\n%s" % (got, line))
    if replayed == 0:
        failures.append("the rules reference has no worked examples")


def main(argv):
    if len(argv) not in (5, 6):
        print(__doc__)
        return 2
    guide_path, rules_path, examples, library = argv[1:5]
    with open(guide_path, encoding="utf-8") as f:
        guide = f.read()
    with open(rules_path, encoding="utf-8") as f:
        rules = f.read()
    guide_lines = set(guide.splitlines())
    failures = []
    lib = load(library)
    check_tables(guide.splitlines(), lib, failures)
    check_examples(rules.splitlines(), lib, failures)

    host_py = os.path.join(examples, "host.py")
    check_included(guide, host_py, "python", failures)
    check_included(guide, os.path.join(examples, "minimal.c"), "c", failures)

    check_run(guide_lines, [sys.executable, host_py, library,
                            os.path.join(examples, "score_request.json"),
                            os.path.join(examples, "snapshot.json")], failures, STAGES)
    if len(argv) == 6:
        check_run(guide_lines, [argv[5]], failures)

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
