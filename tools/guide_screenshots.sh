#!/usr/bin/env bash
# Makes the user guide's screenshots (docs/images/*.png) from the real
# window: Pelt on the demo model under a virtual X server, driven by
# xdotool (tools/demo_window.sh says what it needs). Run it again after the
# window changes.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/images
display=:${GUIDE_DISPLAY:-97}
name=guide_screenshots
source tools/demo_window.sh

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

# Paint mode with a pencil four pixels wide: a bright colour from the
# palette strip and two strokes across the model in the 3D view.
key 1 shift+2 c ctrl+bracketright ctrl+bracketright ctrl+bracketright
xdotool mousemove --window "$window" 905 592 click 1
for y in 250 262; do drag 740 "$y" 920 $((y + 40)); done
shot painting

# Help/Keys and Mouse.
key F1
sleep 1
keys=$(xdotool search --onlyvisible --name '^Keys and Mouse' | head -1)
xdotool windowmove "$keys" 0 0 windowsize "$keys" 760 640
sleep 0.5
shot keys-and-mouse "$keys"
