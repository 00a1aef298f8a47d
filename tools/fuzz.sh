#!/usr/bin/env bash
# Runs every fuzz target for a few seconds under ASan and UBSan (needs clang).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
if ! command -v clang++ >/dev/null; then
  echo "clang++ not found: fuzzing skipped"
  exit 0
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELT_BUILD_FUZZ=ON -DPELT_SANITIZE=ON -DPELT_BUILD_GUI=OFF -DPELT_BUILD_TESTS=OFF \
  -DPELT_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
# Seed the model fuzzer with the demo models when the demo can be written.
mkdir -p build-fuzz/corpus/md2_fuzz
if build-fuzz/pelt-cli demo build-fuzz/seeds >/dev/null 2>&1; then
  find build-fuzz/seeds -name '*.md2' -exec cp {} build-fuzz/corpus/md2_fuzz/ \;
fi
# A two-triangle mapping file (the size the mapping fuzzer's model expects).
mkdir -p build-fuzz/corpus/mapping_fuzz
{ printf 'PMAP\002\000\006\000\100\000\040\000'; head -c 48 /dev/zero; } \
  > build-fuzz/corpus/mapping_fuzz/two_triangles.pmp
for target in build-fuzz/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    -artifact_prefix="build-fuzz/$name-" "$corpus" \
    > "build-fuzz/$name.log" 2>&1 || { tail -n 40 "build-fuzz/$name.log"; exit 1; }
done
echo "fuzzing: no findings"
