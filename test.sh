#!/usr/bin/env bash
# Set up, build and run every test.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/setup.sh
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
bash tools/package_check.sh build
bash tools/fuzz.sh "${PELT_FUZZ_SECONDS:-5}"
