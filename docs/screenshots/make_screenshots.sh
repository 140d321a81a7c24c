#!/usr/bin/env bash
# Takes the screenshots of the characters shown in the README from the real
# viewer, run from data/ on a virtual X display (Xvfb, software OpenGL):
#   <character>-start.png      the B-spline playback alone, the animations
#                              held almost still from the start (time scale
#                              0.001), so the pose is the first key's;
#   <character>-animating.png  both playbacks side by side, skeleton shown,
#                              after a few seconds of animation;
#   elephant-difference.png    ELEPHANT's gallop side by side with the
#                              difference view on (D): the readout line and
#                              the B-spline skin coloured by its distance
#                              from the keyframe skin, paused (Space) after
#                              a few seconds.
# In both the characters are turned a little to show their side.
# Usage: docs/screenshots/make_screenshots.sh [build folder] (default
# build-release, with the target velmscope built).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "${1:-$root/build-release}" && pwd)
viewer="$build/src/velmscope/velmscope"
out="$root/docs/screenshots"
[[ -x "$viewer" ]] || { echo "make_screenshots: $viewer is missing" >&2; exit 1; }

key() { xdotool key --window "$window" "$@" 2> /dev/null; }
shot() { xwd -id "$window" -silent | convert xwd:- "png:$out/$1.png"; }

# Starts the viewer from data/ and waits for its window.
start_viewer() {
  cd "$root/data"
  "$viewer" > /dev/null 2>&1 &
  pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name "^Velmscope$" 2> /dev/null | head -n1)
  xdotool windowmove --sync "$window" 0 0 > /dev/null 2>&1 || true
}

# A mouse drag 70 pixels to the right: the characters turn by 35 degrees to
# show their side.
turn() {
  xdotool mousemove --window "$window" 400 400 mousedown 1 2> /dev/null
  for step in $(seq 7); do
    xdotool mousemove --window "$window" $((400 + 10 * step)) 400 2> /dev/null
  done
  xdotool mouseup 1 2> /dev/null
}

quit_viewer() {
  key q
  wait "$pid"
}

run_session() {
  local names=(hunter horse elephant)
  # Held still from the start: characters not yet shown have not moved.
  start_viewer
  key $(printf 'minus %.0s' $(seq 80))
  turn
  sleep 1
  for name in "${names[@]}"; do
    shot "$name-start"
    key m
    sleep 1
  done
  quit_viewer

  start_viewer
  turn
  key r r
  for name in "${names[@]}"; do
    sleep 3
    shot "$name-animating"
    key m
  done
  quit_viewer

  start_viewer
  turn
  key m m 1 r r d
  sleep 4
  key space
  sleep 1
  shot elephant-difference
  quit_viewer
}

# The script runs itself again on the virtual display.
if [[ -n "${MAKE_SCREENSHOTS_INSIDE:-}" ]]; then
  run_session
  exit
fi
MAKE_SCREENSHOTS_INSIDE=1 xvfb-run -a -s "-screen 0 1280x1024x24" "${BASH_SOURCE[0]}" "$build"
ls -l "$out"/*-start.png "$out"/*-animating.png "$out"/elephant-difference.png
