#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test. This is the command CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/ensure_packages.sh cmake g++ make googletest libgtest-dev libbenchmark-dev gnuplot-nox

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")
echo "All tests passed."
