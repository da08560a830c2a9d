#!/bin/sh
# Runs one Windows program under wine for ctest: wine-run.sh PREFIX PROGRAM [ARGS...]
#
# Each build tree has its own wine prefix, created on first use, so a fresh
# build starts from a clean Windows environment.
#
# Wine's helper processes (services.exe, winedevice.exe ...) inherit the
# standard handles of the program that starts them and outlive it; run
# straight into ctest's pipes they would hold the pipe open and stall the
# test. The program therefore writes into files, which are copied out after it
# ends.
set -u
mkdir -p "$1"
prefix=$(cd "$1" && pwd) # wine takes absolute prefixes only
shift
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No prompts for the .NET and HTML engines, which no test needs.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The first program of a new prefix sets it up; with several tests starting at
# once, one does it and the others wait.
if [ ! -f "$prefix/.ready" ]; then
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      wine wineboot --init </dev/null >/dev/null 2>&1 && touch "$prefix/.ready"
    fi
  ) 9>"$prefix/.lock"
fi
# Keep the server (and the helpers) up between tests instead of restarting
# them for every program; it ends by itself once idle.
wineserver -p30 </dev/null >/dev/null 2>&1
out=$(mktemp)
err=$(mktemp)
wine "$@" </dev/null >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $status
