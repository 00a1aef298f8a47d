#!/usr/bin/env bash
# Builds the hostile-input tests (malformed corpus, random-use run of 10,000
# steps, extreme geometry) with AddressSanitizer and UBSan in build-asan/ and
# runs them through CTest.
#   PELT_MONKEY_STEPS=N [PELT_MONKEY_SEED=S] tools/sanitize.sh    another walk
set -euo pipefail
cd "$(dirname "$0")/.."
compilers=()
if command -v clang++ >/dev/null; then compilers=(-DCMAKE_CXX_COMPILER=clang++); fi
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELT_SANITIZE=ON -DPELT_BUILD_GUI=OFF \
  -DPELT_BUILD_BENCH=OFF "${compilers[@]}" "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$(nproc)" --target pelt_hardening_tests >/dev/null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export PELT_MONKEY_STEPS=${PELT_MONKEY_STEPS:-10000}
(cd build-asan && ctest --output-on-failure --timeout 3600 -R '^sanitized\.')
