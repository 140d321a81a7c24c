#!/usr/bin/env bash
# Measures the running viewer on the shipped characters, on a virtual X
# display (Xvfb, software OpenGL) with its 1024 x 768 window:
#   - the time from the program's launch to its first frame (loading and
#     fitting of every character happens before it), as wall-clock time and
#     as the CPU time the process used until then;
#   - per character, with both playbacks shown (render mode 3): frames per
#     second and the CPU time of one frame, of the main thread (animation,
#     skinning and the drawing calls) and of the whole process (the software
#     renderer's threads included).
# Usage: bench/viewer_frames.sh [build folder] (default build-release; it
# needs the targets velmscope and velmscope_frame_probe). Each character is
# watched for SECONDS (default 5) seconds after one second to settle.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build-release}" && pwd)
viewer="$build/src/velmscope/velmscope"
probe="$build/lib/libvelmscope_frame_probe.so"
seconds=${SECONDS_PER_CHARACTER:-5}
for file in "$viewer" "$probe"; do
  [[ -f "$file" ]] || { echo "viewer_frames: $file is missing (build velmscope and velmscope_frame_probe)" >&2; exit 1; }
done

# Runs inside the virtual display: starts the viewer from data/, switches to
# render mode 3 and shows each character in turn, writing the wall-clock
# times of launch and of each measured stretch to marks.
run_session() {
  cd "$root/data"
  now() { date +%s.%N; }
  echo "launch $(now)" > "$work/marks"
  LD_PRELOAD="$probe" VELMSCOPE_FRAME_LOG="$work/frames" "$viewer" > "$work/stdout" 2> "$work/stderr" &
  local pid=$!
  local window
  window=$(timeout 30 xdotool search --sync --onlyvisible --name "^Velmscope$" 2> /dev/null | head -n1)
  xdotool windowmove --sync "$window" 0 0 > /dev/null 2>&1 || true
  sleep 1
  xdotool key --window "$window" r r 2> /dev/null
  for name in HUNTER HORSE ELEPHANT; do
    sleep 1
    echo "$name $(now)" >> "$work/marks"
    sleep "$seconds"
    echo "end $(now)" >> "$work/marks"
    xdotool key --window "$window" m 2> /dev/null
  done
  xdotool key --window "$window" q 2> /dev/null
  wait "$pid"
}
# The script runs itself again on the virtual display for the session.
if [[ -n "${VIEWER_FRAMES_WORK:-}" ]]; then
  work=$VIEWER_FRAMES_WORK
  run_session
  exit
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
VIEWER_FRAMES_WORK=$work xvfb-run -a -s "-screen 0 1280x1024x24" "${BASH_SOURCE[0]}" "$build"

python3 - "$work/marks" "$work/frames" <<'PY'
import sys
marks = [line.split() for line in open(sys.argv[1])]
lines = [line.split() for line in open(sys.argv[2])]
frames = [tuple(map(float, f)) for f in lines[1:]]
launch = float(marks[0][1])
print(f"start to first frame: {1000 * (frames[0][0] - launch):.0f} ms wall clock, "
      f"{1000 * frames[0][2]:.0f} ms CPU time of the process")
print(f"{'character':<10} {'frames/s':>9} {'frame ms':>9} {'main-thread CPU ms':>19} {'process CPU ms':>15}")
for i in range(1, len(marks), 2):
    name, begin, end = marks[i][0], float(marks[i][1]), float(marks[i + 1][1])
    inside = [f for f in frames if begin <= f[0] <= end]
    if len(inside) < 2:
        print(f"{name:<10} too few frames")
        continue
    n = len(inside) - 1
    wall = inside[-1][0] - inside[0][0]
    thread = inside[-1][1] - inside[0][1]
    process = inside[-1][2] - inside[0][2]
    print(f"{name:<10} {n / wall:9.1f} {1000 * wall / n:9.2f} {1000 * thread / n:19.2f} {1000 * process / n:15.2f}")
PY
