#!/usr/bin/env bash
# Checks in the real window, on the demo model under a virtual X server:
# Home shows the whole skin inside the skin view, F1 opens Keys and Mouse with
# every command, and P plays the animation in the 3D view until P again
# (tools/demo_window.sh says what it needs).
set -euo pipefail
cd "$(dirname "$0")/.."
display=:${CHECK_DISPLAY:-98}
name="window check"
source tools/demo_window.sh
key() { xdotool windowfocus --sync "$window" key "$@"; sleep 0.5; }
shot() { import -window "$window" "$scratch/$1.png"; }
# Pixels that differ between two shots inside a box WxH+X+Y of the window.
differ() { compare -metric AE -crop "$3" "$scratch/$1.png" "$scratch/$2.png" null: 2>&1 || true; }

# Home: after zooming in, the skin view's outermost rows and columns are
# background again, so the skin's four corners lie inside it. The panes'
# rows are where the 3D view's right edge is background; the skin view
# takes the left 65 % of the width less the gradient box.
xdotool mousemove --window "$window" 200 300 click 4 click 4 click 4
sleep 0.5
key Home
shot home
rows=$(convert "$scratch/home.png" -crop 1x640+995+0 +repage txt:- | grep -n '#000000' | cut -d: -f1)
top=$(($(echo "$rows" | head -1) - 2)) bottom=$(($(echo "$rows" | tail -1) - 2))
width=$(((1000 - 24) * 65 / 100)) height=$((bottom - top + 1))
convert "$scratch/home.png" -crop "${width}x${height}+0+$top" +repage "$scratch/skin.png"
for edge in "${width}x1+0+0" "${width}x1+0+$((height - 1))" "1x$height+0+0" "1x$height+$((width - 1))+0"; do
  colours=$(convert "$scratch/skin.png" -crop "$edge" +repage -unique-colors -format %w info:)
  [ "$colours" = 1 ] || fail "Home: the skin reaches the skin view's edge ($edge)"
done
[ "$(convert "$scratch/skin.png" -unique-colors -format %w info:)" -gt 8 ] || fail "Home: no skin"
echo "Home: the skin lies inside the skin view (${width}x$height at 0,$top)"

# F1: the Keys and Mouse window, with its count of commands.
key F1
keys=$(xdotool search --onlyvisible --name '^Keys and Mouse' | head -1)
[ -n "$keys" ] || fail "F1 opened no window"
title=$(xdotool getwindowname "$keys")
count=$(echo "$title" | grep -o '[0-9]*')
echo "F1: \"$title\""
[ "$count" -ge 75 ] || fail "F1 lists $count commands"
xdotool windowfocus --sync "$keys" key Escape
sleep 0.5

# P: two shots 0.3 s apart differ in the 3D view while playing, and not after
# P again.
view=$((1000 - width - 24))x$height+$((width + 24))+$top
key p
shot playing1; sleep 0.3; shot playing2
key p
shot stopped1; sleep 0.3; shot stopped2
playing=$(differ playing1 playing2 "$view")
stopped=$(differ stopped1 stopped2 "$view")
echo "P: $playing pixels changed in 0.3 s while playing, $stopped after P again"
[ "$playing" -gt 0 ] && [ "$stopped" = 0 ] || fail "P does not play and stop"
