#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velmscope
# need. Does nothing (and needs no network) when all of them are present.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev
  freeglut3-dev libgl-dev libgl1-mesa-dri libx11-dev
  libgsl-dev flex bison libassimp-dev
  libgtest-dev libbenchmark-dev
  xvfb xdotool x11-apps imagemagick
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" ]]; then
    missing+=("$p")
  fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: not root and no sudo; install these packages first: ${missing[*]}" >&2
    exit 1
  fi
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -q --no-install-recommends "${missing[@]}"
