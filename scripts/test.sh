#!/usr/bin/env bash
# Builds the project and runs every test: a release build, then the same
# suite under AddressSanitizer + UndefinedBehaviorSanitizer, then the threaded
# parts under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQRV_SANITIZE=address,undefined -DQRV_BUILD_BENCH=OFF
cmake --build build/asan -j "$jobs"
ctest --test-dir build/asan --output-on-failure -j "$jobs"

# ThreadSanitizer over the code that shares state between threads: the
# worker and the exports, driven by their own tests.
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQRV_SANITIZE=thread -DQRV_BUILD_BENCH=OFF -DQRV_BUILD_EXAMPLES=OFF
cmake --build build/tsan -j "$jobs" --target quorvel_engine test_worker test_api test_api_faults
ctest --test-dir build/tsan --output-on-failure -j "$jobs" -R '^(worker|api_)'
