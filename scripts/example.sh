#!/usr/bin/env bash
# From a fresh machine to the example host's output: installs what is missing,
# builds the release library and the example host, then scores the example
# request and searches the example snapshot.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)" --target quorvel_engine example_host
library=$(find build/release -maxdepth 1 -name 'libquorvel_engine.*' -type f | head -n 1)
build/release/examples/example_host "$library" examples/score_request.json examples/snapshot.json
