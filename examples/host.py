#!/usr/bin/env python3
"""A quorvel_engine host in Python with ctypes: scores the play of a score
request, then searches a snapshot for the best play and prints each report it
collects, the final one in full.

    python3 host.py <library> <score_request.json> <snapshot.json>
"""
import ctypes
import json
import sys
import time

QRV_OK, QRV_RUNNING, QRV_ERROR, QRV_TOO_SMALL, QRV_NO_SUCH_JOB = 1, 0, -1, -2, -3


class Engine:
    """The four exports with their C prototypes, and one growing buffer
    (so one Engine serves one thread at a time)."""

    def __init__(self, path):
        lib = ctypes.CDLL(path)
        # Declare every prototype: without them ctypes passes and returns C
        # ints, which cuts sizes and 64-bit job ids to 32 bits.
        size_p = ctypes.POINTER(ctypes.c_size_t)
        lib.qrv_abi_version.argtypes = []
        lib.qrv_abi_version.restype = ctypes.c_int32
        lib.qrv_score.argtypes = [ctypes.c_char_p, ctypes.c_size_t,
                                  ctypes.c_void_p, ctypes.c_size_t, size_p]
        lib.qrv_score.restype = ctypes.c_int32
        lib.qrv_search_start.argtypes = [ctypes.c_char_p, ctypes.c_size_t]
        lib.qrv_search_start.restype = ctypes.c_uint64
        lib.qrv_search_poll.argtypes = [ctypes.c_uint64, ctypes.c_void_p,
                                        ctypes.c_size_t, size_p]
        lib.qrv_search_poll.restype = ctypes.c_int32
        self.lib = lib
        self.buf = ctypes.create_string_buffer(256)

    def _text(self, length):
        return ctypes.string_at(self.buf, length).decode("utf-8")

    def version(self):
        return self.lib.qrv_abi_version()

    def score(self, request):
        """(status, text): the answer with QRV_OK, an error text with QRV_ERROR."""
        length = ctypes.c_size_t(0)
        while True:
            status = self.lib.qrv_score(request, len(request), self.buf,
                                        len(self.buf), ctypes.byref(length))
            if status != QRV_TOO_SMALL:
                return status, self._text(length.value)
            # The answer was discarded: score again with room for it.
            self.buf = ctypes.create_string_buffer(length.value)

    def start(self, snapshot):
        """The job id as a plain int; 0 when no search was started."""
        return self.lib.qrv_search_start(snapshot, len(snapshot))

    def poll(self, job):
        """(status, text), the text None when there is nothing new."""
        length = ctypes.c_size_t(0)
        while True:
            status = self.lib.qrv_search_poll(job, self.buf, len(self.buf),
                                              ctypes.byref(length))
            if status != QRV_TOO_SMALL:
                return status, self._text(length.value) if length.value else None
            # The text stays in the library until a poll has room for it.
            self.buf = ctypes.create_string_buffer(length.value)


def search(engine, snapshot):
    """Polls a new search to its end; the final report's text, or None."""
    job = engine.start(snapshot)
    if job == 0:
        print("the search could not be started")
        return None
    print("search job", job, "started")
    # Per-job state keyed by the id: a plain int here. An FFI that hands
    # back a boxed 64-bit value needs it converted to a number first.
    seen = {job: []}
    while True:
        status, text = engine.poll(job)
        if status == QRV_ERROR:
            print("search error:", text)
            return None
        if text is not None:
            report = json.loads(text)
            seen[job].append(report["stage"])
            if status == QRV_OK:
                print("stages collected:", seen[job])
                return text
        if status == QRV_RUNNING:
            time.sleep(0.002)
        elif status != QRV_OK:
            print("search ended with status", status)
            return None


def main(argv):
    if len(argv) != 4:
        print("usage: host.py <library> <score_request.json> <snapshot.json>")
        return 2
    engine = Engine(argv[1])
    print("interface version", engine.version())

    with open(argv[2], "rb") as f:
        status, text = engine.score(f.read())
    print("score answer:" if status == QRV_OK else "score error:")
    print(text)
    if status != QRV_OK:
        return 1

    with open(argv[3], "rb") as f:
        snapshot = f.read()
    text = search(engine, snapshot)
    if text is None:
        return 1
    print("final report:")
    print(text)

    final = json.loads(text)
    best = final["best"]
    if best is not None:
        # "gain" compares the best play under the recommended joker order
        # with the same play under the jokers as they stand, which is what a
        # score request of that play computes.
        request = {"snapshot": json.loads(snapshot), "play": best["play"]}
        status, text = engine.score(json.dumps(request).encode())
        if status != QRV_OK:
            print("score error:", text)
            return 1
        rows = [("expected", best["expected"]),
                ("gain", final["gain"]),
                ("same play, jokers as they stand", json.loads(text)["expected"]),
                ("current_order_expected", final["current_order_expected"])]
        print("best play", best["play"], "with jokers", final["joker_order"])
        for name, value in rows:
            print("  %-33s %s" % (name, value))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
