#!/usr/bin/env bash
# Runs every fuzz target under ASan and UBSan (needs clang), starting from
# seeds our own code writes and the corpus kept in build-fuzz/ from earlier
# runs.
#   tools/fuzz.sh [SECONDS] [TARGET...]    SECONDS: $PELT_FUZZ_SECONDS or 5
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${PELT_FUZZ_SECONDS:-5}}
shift $(( $# > 0 ? 1 : 0 ))
if ! command -v clang++ >/dev/null; then
  echo "clang++ not found: fuzzing skipped"
  exit 0
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELT_BUILD_FUZZ=ON -DPELT_SANITIZE=ON -DPELT_BUILD_GUI=OFF -DPELT_BUILD_TESTS=OFF \
  -DPELT_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
rm -rf build-fuzz/seeds
build-fuzz/fuzz/pelt-fuzz-seeds build-fuzz/seeds
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for target in build-fuzz/fuzz/*_fuzz; do targets+=("$(basename "$target")"); done
fi
for name in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$name"
  seeds="build-fuzz/seeds/$name"
  mkdir -p "$corpus" "$seeds"
  # Inputs stay small so each run is quick; the parser alone keeps the
  # demo model's size.
  case "$name" in md2_fuzz) limit=() ;; *) limit=(-max_len=4096) ;; esac
  echo "fuzzing $name for ${seconds}s"
  "build-fuzz/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${limit[@]}" \
    -print_final_stats=1 -artifact_prefix="build-fuzz/$name-" "$corpus" "$seeds" \
    > "build-fuzz/$name.log" 2>&1 || { tail -n 40 "build-fuzz/$name.log"; exit 1; }
  grep -h "stat::number_of_executed_units" "build-fuzz/$name.log" | sed "s/^/  /"
done
echo "fuzzing: no findings"
