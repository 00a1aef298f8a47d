#!/usr/bin/env bash
# Set up, build, write the demo game folder (once: skins painted there are
# the user's) and start Pelt on the demo model.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
model="$PWD/build/demo/baseq2/models/monsters/grub/tris.md2"
if [ ! -e "$model" ]; then
  model=$(./build/pelt-cli demo build/demo)
fi
echo "Demo game folder: build/demo/baseq2"
echo "Demo model: $model"
# On a first run, point the preferences at the demo's colormap and maps so
# every render mode works; existing settings are left alone.
settings="${XDG_CONFIG_HOME:-$HOME/.config}/Quillon/Pelt.conf"
if [ ! -e "$settings" ]; then
  mkdir -p "$(dirname "$settings")"
  base="$PWD/build/demo/baseq2"
  printf '[Preferences]\nPalette%%20Path=%s\nPhong%%20Path=%s\nEnv%%20Path=%s\n' \
    "$base/pics/colormap.pcx" "$base/phongs" "$base/enviros" > "$settings"
fi
if [ -x build/pelt ]; then
  exec ./build/pelt -base "$PWD/build/demo/baseq2" -md2 "$model"
fi
