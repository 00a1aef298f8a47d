#!/usr/bin/env bash
# Set up, build, write the demo game folder and start Pelt on the demo model.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
model=$(./build/pelt-cli demo build/demo)
echo "Demo game folder: build/demo/baseq2"
echo "Demo model: $model"
if [ -x build/pelt ]; then
  exec ./build/pelt -base "$PWD/build/demo/baseq2" -md2 "$model"
fi
