#!/usr/bin/env bash
# Cross-builds the Windows x64 DLL with mingw-w64 and tests it under wine: the
# DLL's exports and imports, every test program, and the example host loading
# the DLL as a Windows host does.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh g++-mingw-w64-x86-64-posix googletest wine wine64
jobs=$(nproc)
build=build/windows

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
  -DQRV_BUILD_TESTS=ON -DQRV_BUILD_BENCH=OFF -DQRV_BUILD_EXAMPLES=ON
cmake --build "$build" -j "$jobs"

# The test programs run in the build tree's own wine prefix (see
# cmake/toolchains/wine-run.sh); stop its server and helpers when done.
prefix=$PWD/$build/wine-prefix
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true' EXIT

ctest --test-dir "$build" --output-on-failure -j "$jobs"

echo "example host under wine:"
output=$(sh cmake/toolchains/wine-run.sh "$prefix" "$build/examples/example_host.exe" \
  "$build/quorvel_engine.dll" examples/score_request.json examples/snapshot.json)
printf '%s\n' "$output"
if ! printf '%s\n' "$output" | grep -q '"done":true'; then
  echo "FAIL: the example host got no final search report" >&2
  exit 1
fi
