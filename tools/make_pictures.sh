#!/usr/bin/env bash
# Draws the program's own pictures into OUT: the setup icon, the 88 x 31 logo
# bitmap, the sample viewer's thirteen icons and the four toolbar skins.
# Shapes only (no text), so the result needs no fonts and is reproducible.
set -euo pipefail
out=$1
mkdir -p "$out"
im=/usr/bin/convert   # ImageMagick itself, not a stand-in earlier in PATH
png="-define png:exclude-chunks=date,time -strip"

# Setup icon: a gold lens on a blue disc, 16 and 32 pixels (the sizes the
# wizard's title bar and task switcher show).
for s in 16 32; do
  $im -size ${s}x${s} xc:none -fill '#1d4f91' -draw "circle $((s/2)),$((s/2)) $((s/2)),1" \
      -fill '#f5b700' -draw "circle $((s*5/12)),$((s*5/12)) $((s*5/12)),$((s/4))" \
      -stroke '#f5b700' -strokewidth $((s/10+1)) -draw "line $((s*9/16)),$((s*9/16)) $((s*13/16)),$((s*13/16))" \
      $png "$out/setup_$s.png"
done
$im "$out"/setup_16.png "$out"/setup_32.png "$out/setup.ico"

# Logo bitmap 113: 88 x 31, an 8-bit palette BMP that every Windows reads.
$im -size 88x31 xc:'#1d4f91' -fill '#f5b700' -draw 'circle 15,15 15,5' \
    -fill white -draw 'rectangle 32,9 84,12' -draw 'rectangle 32,18 70,21' \
    -type Palette -colors 16 BMP3:"$out/logo.bmp"

# Viewer icons 0..12: one hue each, a frame and a "picture" inside.
for i in $(seq 0 12); do
  hue=$((i * 360 / 13))
  name=$(printf 'viewer_%02d' "$i")
  for s in 16 32; do
    $im -size ${s}x${s} xc:none -fill "hsl($hue,70%,45%)" -draw "roundrectangle 0,0 $((s-1)),$((s-1)) 3,3" \
        -fill white -draw "rectangle $((s/4)),$((s/4)) $((s*3/4)),$((s*3/4))" \
        -fill "hsl($(( (hue + 180) % 360 )),80%,50%)" -draw "circle $((s/2)),$((s/2)) $((s/2)),$((s*3/8))" \
        $png "$out/${name}_$s.png"
  done
  $im "$out/${name}_16.png" "$out/${name}_32.png" "$out/$name.ico"
done

# Toolbar skins: strips of twelve square buttons of the skin's size.
skin() {  # name size hue
  local name=$1 s=$2 hue=$3 args=()
  for b in $(seq 0 11); do
    local x=$((b * s))
    args+=(-fill "hsl($(( (hue + b * 25) % 360 )),60%,50%)"
           -draw "roundrectangle $((x+1)),1 $((x+s-2)),$((s-2)) 2,2")
  done
  $im -size $((12 * s))x${s} xc:none "${args[@]}" $png "$out/$name"
}
skin gnome-colors-human_48.png 48 30
skin gnome-colors-wise_32.png 32 200
skin Corvane_24.png 24 120
skin Tessel_16.png 16 280
