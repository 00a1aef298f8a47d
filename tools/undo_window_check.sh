#!/usr/bin/env bash
# Undo in the real window, on the demo model under a virtual X server: two
# pencil strokes in the skin view, Alt+Backspace twice gives the picture from
# before them and Ctrl+Y twice gives it back; Ctrl+Z (Skins/Revert) then
# Alt+Backspace gives the painted skin back; Re-size All marks the title;
# closing asks one question, whose Save writes the model and the resized skins
# (tools/demo_window.sh says what it needs).
set -euo pipefail
cd "$(dirname "$0")/.."
display=:${CHECK_DISPLAY:-97}
name="undo window check"
source tools/demo_window.sh
key() { xdotool windowfocus --sync "$window" key "$@"; sleep 0.5; }
# Shots with the pointer away from the skin view, whose brush outline follows it.
shot() { xdotool mousemove --window "$window" 990 630; sleep 0.3; import -window "$window" "$scratch/$1.png"; }
skin=560x440+40+110
differ() { compare -metric AE -crop "$skin" "$scratch/$1.png" "$scratch/$2.png" null: 2>&1 || true; }
same() { [ "$(differ "$1" "$2")" = 0 ] || fail "$3"; }
drag() {
  xdotool mousemove --window "$window" "$1" "$2" mousedown 1
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --window "$window" $(($1 + ($3 - $1) * i / 8)) $(($2 + ($4 - $2) * i / 8))
    sleep 0.05
  done
  xdotool mouseup 1
  sleep 0.5
}

key space   # camera override off: drags paint
key Home
key shift+2 # the pencil
shot before
drag 100 200 400 450
drag 80 400 500 150
shot painted
[ "$(differ before painted)" -gt 0 ] || fail "the strokes painted nothing"
key alt+BackSpace
key alt+BackSpace
shot undone
same before undone "Alt+Backspace twice does not give the picture from before the strokes"
key ctrl+y
key ctrl+y
shot redone
same painted redone "Ctrl+Y twice does not give the strokes back"
echo "two strokes: $(differ before painted) pixels; undone twice and redone twice exactly"

key ctrl+z
shot reverted
[ "$(differ painted reverted)" -gt 0 ] || fail "Ctrl+Z reverted nothing"
key alt+BackSpace
shot unreverted
same painted unreverted "Alt+Backspace after Ctrl+Z does not give the painted skin back"
echo "Ctrl+Z then Alt+Backspace: the painted skin is back"

# Skins/Re-size All... is the sixteenth entry of the Skins menu.
key alt+s
for _ in $(seq 15); do xdotool key Down; done
key Return
dialog=$(xdotool search --onlyvisible --name '^Resize Skins$' | head -1)
[ -n "$dialog" ] || fail "no Resize Skins dialog"
xdotool windowfocus --sync "$dialog" key ctrl+a type 128
xdotool key Tab ctrl+a
xdotool type 128
xdotool key Return
sleep 1
title=$(xdotool getwindowname "$window")
echo "Re-size All: title \"$title\""
[ "$title" = "tris.md2* - Pelt" ] || fail "Re-size All does not mark the title"

# Exit: one question; Save (its default button) writes everything and quits.
key alt+f
xdotool key x
sleep 1
boxes=$(xdotool search --onlyvisible --name '^Pelt$' | wc -l)
[ "$boxes" = 1 ] || fail "closing shows $boxes questions"
xdotool key Return
sleep 1.5
[ -z "$(xdotool search --onlyvisible --name '^Pelt$' 2>/dev/null)" ] || fail "a second question"
kill -0 "${pids[1]}" 2>/dev/null && fail "Pelt still runs after Save"
# PCX: the last column's index is at bytes 8 and 9.
width=$(($(od -An -tu2 -j8 -N2 "$base/models/monsters/grub/skin.pcx") + 1))
[ "$width" = 128 ] || fail "the skin file is $width wide"
echo "closing: one question; Save wrote the skins at 128 wide and Pelt quit"
