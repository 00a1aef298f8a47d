# Sourced by the scripts that drive the real window: starts a virtual X server
# on $display and Pelt on the demo model in a scratch folder, 1000 x 640 at
# the screen's corner, and sets $window, $scratch and $base; both go away on
# exit. $name prefixes the messages. Needs a built build/, Xvfb, xdotool and
# ImageMagick.
scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "$name: $*" >&2; exit 1; }
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || fail "$tool is missing"
done
[ -x build/pelt ] || fail "build Pelt first"

Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display XDG_CONFIG_HOME=$scratch/config
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "no X server on $display"
model=$(build/pelt-cli demo "$scratch/demo")
base=$scratch/demo/baseq2
mkdir -p "$XDG_CONFIG_HOME/Quillon"
printf '[Preferences]\nSkip%%20Intro=1\nQuick%%20Exit=1\nPalette%%20Path=%s\n' \
  "$base/pics/colormap.pcx" >"$XDG_CONFIG_HOME/Quillon/Pelt.conf"
build/pelt -base "$base" -md2 "$model" >"$scratch/pelt.log" 2>&1 &
pids+=($!)
window=""
for _ in $(seq 50); do
  window=$(xdotool search --onlyvisible --name '(^Pelt| - Pelt)$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { cat "$scratch/pelt.log" >&2; fail "no window"; }
xdotool windowmove "$window" 0 0 windowsize "$window" 1000 640
sleep 1
