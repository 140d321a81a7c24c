#!/usr/bin/env bash
# Builds the viewer (Release, in build-release/) and runs it from data/, the
# folder that holds the characters' documents. Arguments go to the viewer;
# those that name existing files or folders (characters to show) are made
# absolute first, so that they still name them from data/.
#
# Characters given on the command line are loaded and fitted before the
# window opens, which for long clips takes a while.
#
# Without a usable X display the viewer runs for a few seconds on a virtual
# X server (Xvfb); a screenshot of it is saved as out/velmscope-screenshot.png.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release \
  -DVELM_TESTS=OFF -DVELM_BENCH=OFF -DVELM_FUZZ=OFF >/dev/null
cmake --build "$root/build-release" -j"$jobs" --target velmscope
viewer="$root/build-release/src/velmscope/velmscope"

arguments=()
for argument in "$@"; do
  if [[ -e "$argument" ]]; then
    arguments+=("$(cd "$(dirname "$argument")" && pwd)/$(basename "$argument")")
  else
    arguments+=("$argument")
  fi
done
set -- "${arguments[@]+"${arguments[@]}"}"

mkdir -p "$root/data"
cd "$root/data"

if [[ -n "${DISPLAY:-}" ]] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  exec "$viewer" "$@"
fi

echo "run-viewer: no X display; running the viewer on a virtual display for a few seconds"

# First display number from 90 up with neither a lock file nor a socket.
xvfb_pid=""
viewer_pid=""
cleanup() {
  if [[ -n "$viewer_pid" ]] && kill -0 "$viewer_pid" 2>/dev/null; then kill "$viewer_pid" 2>/dev/null || true; fi
  if [[ -n "$xvfb_pid" ]] && kill -0 "$xvfb_pid" 2>/dev/null; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

for n in $(seq 90 189); do
  [[ -e "/tmp/.X$n-lock" || -e "/tmp/.X11-unix/X$n" ]] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [[ -S "/tmp/.X11-unix/X$n" ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ -S "/tmp/.X11-unix/X$n" ]] && kill -0 "$xvfb_pid" 2>/dev/null; then
    export DISPLAY=":$n"
    break
  fi
  xvfb_pid=""
done
if [[ -z "$xvfb_pid" ]]; then
  echo "run-viewer: could not start Xvfb" >&2
  exit 1
fi

"$viewer" "$@" &
viewer_pid=$!

window=$(timeout 600 xdotool search --sync --onlyvisible --name '^Velmscope$' | head -n1 || true)
if [[ -z "$window" ]]; then
  echo "run-viewer: the viewer window did not appear" >&2
  exit 1
fi
# Without a window manager the toolkit leaves the window a pixel off the
# screen's corner; put it wholly on the screen so that all of it is captured.
xdotool windowmove --sync "$window" 0 0 >/dev/null 2>&1 || true
sleep 3

mkdir -p "$root/out"
shot="$root/out/velmscope-screenshot.png"
xwd -id "$window" -silent | convert xwd:- "png:$shot"
echo "run-viewer: screenshot saved to $shot"

# Quit through the viewer's own Q command and collect its exit code.
xdotool windowfocus --sync "$window" key q
status=0
for _ in $(seq 100); do
  kill -0 "$viewer_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$viewer_pid" 2>/dev/null; then
  echo "run-viewer: the viewer did not end after Q" >&2
  exit 1
fi
wait "$viewer_pid" || status=$?
viewer_pid=""
if [[ $status -ne 0 ]]; then
  echo "run-viewer: the viewer ended with exit code $status" >&2
fi
exit "$status"
