#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test. This is the command CI runs.
#
# Two builds: build/ (the release build, with GCC) runs the whole suite; build-sanitize/
# (clang, AddressSanitizer and UndefinedBehaviorSanitizer, any finding fatal) runs it
# again, together with a few seconds of each fuzz target from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/ensure_packages.sh cmake g++ make googletest libgtest-dev libbenchmark-dev gnuplot-nox clang libclang-rt-14-dev time

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-sanitize -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTM_SANITIZE=ON -DTM_BUILD_FUZZ=ON -DTM_BUILD_BENCH=OFF
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize &&
  ASAN_OPTIONS=detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$jobs")
echo "All tests passed."
