#!/usr/bin/env bash
# Makes the user guide's screenshots (docs/images/*.png) from the real
# window: Pelt on the demo model under a virtual X server, driven by
# xdotool. Needs a built build/ (./run.sh or cmake --build build), Xvfb,
# xdotool and ImageMagick. Run it again after the window changes.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/images
display=:${GUIDE_DISPLAY:-97}
scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "guide_screenshots: $tool is missing" >&2; exit 1; }
done
[ -x build/pelt ] || { echo "guide_screenshots: build Pelt first" >&2; exit 1; }

Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display XDG_CONFIG_HOME=$scratch/config
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
model=$(build/pelt-cli demo "$scratch/demo")
base=$scratch/demo/baseq2
mkdir -p "$XDG_CONFIG_HOME/Quillon"
printf '[Preferences]\nSkip%%20Intro=1\nQuick%%20Exit=1\nPalette%%20Path=%s\nPhong%%20Path=%s\nEnv%%20Path=%s\n' \
  "$base/pics/colormap.pcx" "$base/phongs" "$base/enviros" >"$XDG_CONFIG_HOME/Quillon/Pelt.conf"
build/pelt -base "$base" -md2 "$model" >"$scratch/pelt.log" 2>&1 &
pids+=($!)

window=""
for _ in $(seq 50); do
  window=$(xdotool search --onlyvisible --name '^Pelt$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { cat "$scratch/pelt.log" >&2; echo "guide_screenshots: no window" >&2; exit 1; }
xdotool windowmove "$window" 0 0 windowsize "$window" 1000 640
sleep 1

# The window (or another one) as a small PNG: 800 pixels wide, 256 colours.
shot() {
  import -window "${2:-$window}" "$scratch/shot.png"
  convert "$scratch/shot.png" -resize 800x -colors 256 -strip "PNG8:$out/$1.png"
  echo "$out/$1.png"
}
key() {
  xdotool windowfocus --sync "$window" key "$@"
  sleep 0.4
}
drag() {  # x0 y0 x1 y1 [button]: a slow drag in window coordinates
  local button=${5:-1}
  xdotool mousemove --window "$window" "$1" "$2" mousedown "$button"
  for i in $(seq 1 12); do
    xdotool mousemove --window "$window" $(($1 + ($3 - $1) * i / 12)) $(($2 + ($4 - $2) * i / 12))
    sleep 0.03
  done
  xdotool mouseup "$button"
  sleep 0.4
}

mkdir -p "$out"
shot first-start

# Mapping mode with camera override off: the mesh over the skin, and the
# face selected: Shift-click one of its triangles, then Select Connected.
key space 2
xdotool mousemove --window "$window" 300 420 keydown shift click 1 keyup shift
key backslash
shot mapping-mode

# Paint mode with the pencil: a bright colour from the palette strip and a
# few strokes across the model's back in the 3D view.
key 1 shift+2 c
xdotool mousemove --window "$window" 905 592 click 1
for y in 250 254 258 262; do drag 740 "$y" 920 $((y + 40)); done
shot painting

# Help/Keys and Mouse.
key F1
sleep 1
keys=$(xdotool search --onlyvisible --name '^Keys and Mouse' | head -1)
xdotool windowmove "$keys" 0 0 windowsize "$keys" 760 640
sleep 0.5
shot keys-and-mouse "$keys"
