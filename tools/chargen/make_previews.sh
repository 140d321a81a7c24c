#!/bin/sh
# Draws the preview sheets docs/characters/<character>.png: each character
# at rest and part-way through each of its animations, as the generator's
# software renderer sees them. Needs ImageMagick (convert, montage).
#
#   tools/chargen/make_previews.sh <chargen program> <repository>
set -e
program=$1
repository=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$program" "$work/data" --preview "$work" > /dev/null
mkdir -p "$repository/docs/characters"
for character in hunter horse elephant; do
  set -- -label rest "$work/${character}_rest.ppm"
  for picture in "$work/${character}_"*.ppm; do
    name=${picture##*/${character}_}
    name=${name%.ppm}
    [ "$name" = rest ] || set -- "$@" -label "$name" "$picture"
  done
  montage "$@" -tile x1 -geometry 240x240+2+2 -pointsize 14 "$repository/docs/characters/$character.png"
done
