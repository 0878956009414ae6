#!/usr/bin/env bash
# Draws the program's own artwork with ImageMagick: the program icon (16 x 16
# and 32 x 32, 16 colours each, in one .ico), the same icon for the desktop's
# icon theme (those two drawings, and the scalable drawing below rendered by
# rsvg-convert at the other sizes) and the splash logo (163 x 105 JPEG). The
# results are committed; run this again only to change them.
#   resources/make-artwork.sh
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The 16 colours of the classic VGA palette: every icon pixel is one of them.
convert -size 16x1 xc:black \
    -fill '#800000' -draw 'point 1,0'  -fill '#008000' -draw 'point 2,0'  -fill '#808000' -draw 'point 3,0' \
    -fill '#000080' -draw 'point 4,0'  -fill '#800080' -draw 'point 5,0'  -fill '#008080' -draw 'point 6,0' \
    -fill '#C0C0C0' -draw 'point 7,0'  -fill '#808080' -draw 'point 8,0'  -fill '#FF0000' -draw 'point 9,0' \
    -fill '#00FF00' -draw 'point 10,0' -fill '#FFFF00' -draw 'point 11,0' -fill '#0000FF' -draw 'point 12,0' \
    -fill '#FF00FF' -draw 'point 13,0' -fill '#00FFFF' -draw 'point 14,0' -fill '#FFFFFF' -draw 'point 15,0' \
    "$work/palette.png"

# The icon: five white panes stacked on a navy page, a yellow magnifier over
# them. Drawn without anti-aliasing on magenta, a palette colour the drawing
# does not use, so that every pixel is a palette colour and magenta becomes
# the transparent part.
convert -size 32x32 xc:'#FF00FF' +antialias \
    -fill '#000080' -stroke black -draw 'rectangle 1,1 26,30' \
    -stroke none -fill white \
    -draw 'rectangle 4,4 23,6' -draw 'rectangle 4,9 23,11' -draw 'rectangle 4,14 23,16' \
    -draw 'rectangle 4,19 23,21' -draw 'rectangle 4,24 23,26' \
    -fill '#00FFFF' -draw 'rectangle 4,4 8,6' -draw 'rectangle 4,9 8,11' -draw 'rectangle 4,14 8,16' \
    -draw 'rectangle 4,19 8,21' -draw 'rectangle 4,24 8,26' \
    -stroke black -strokewidth 1 -fill '#808000' -draw 'polygon 22,23 25,20 31,26 31,28 28,31 26,31' \
    -fill '#FFFF00' -draw 'circle 17,15 17,6' \
    -fill '#00FFFF' -stroke '#008080' -draw 'circle 17,15 17,9' \
    -stroke none -fill white -draw 'rectangle 14,11 16,12' \
    -dither None -remap "$work/palette.png" -transparent '#FF00FF' "$work/icon32.png"

convert -size 16x16 xc:'#FF00FF' +antialias \
    -fill '#000080' -stroke black -draw 'rectangle 0,0 13,15' \
    -stroke none -fill white \
    -draw 'rectangle 2,1 11,2' -draw 'rectangle 2,4 11,5' -draw 'rectangle 2,7 11,8' -draw 'rectangle 2,10 11,11' \
    -draw 'rectangle 2,13 11,14' \
    -fill '#808000' -draw 'polygon 11,12 12,11 15,14 14,15' \
    -fill '#FFFF00' -draw 'circle 9,7 9,3' \
    -fill '#00FFFF' -draw 'circle 9,7 9,5' \
    -dither None -remap "$work/palette.png" -transparent '#FF00FF' "$work/icon16.png"

convert "$work/icon16.png" "$work/icon32.png" -colors 16 -type PaletteMatte program.ico

# The icon for the desktop's menus and docks. The scalable drawing is the
# 32-pixel one above, shape for shape, on a 32-unit grid (edges on half units
# where ImageMagick strokes pixel centres); the 16 and 32 pixel sizes are the
# pixel drawings themselves, so the menu shows exactly the window's icon.
icon_name=example.scoutwell.Scoutwell
theme=icons/hicolor
mkdir -p "$theme/scalable/apps"
cat > "$theme/scalable/apps/$icon_name.svg" <<'SVG'
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <title>Scoutwell</title>
  <rect x="1.5" y="1.5" width="25" height="29" fill="#000080" stroke="#000000"/>
  <g fill="#ffffff">
    <rect x="4" y="4" width="20" height="3"/><rect x="4" y="9" width="20" height="3"/>
    <rect x="4" y="14" width="20" height="3"/><rect x="4" y="19" width="20" height="3"/>
    <rect x="4" y="24" width="20" height="3"/>
  </g>
  <g fill="#00ffff">
    <rect x="4" y="4" width="5" height="3"/><rect x="4" y="9" width="5" height="3"/>
    <rect x="4" y="14" width="5" height="3"/><rect x="4" y="19" width="5" height="3"/>
    <rect x="4" y="24" width="5" height="3"/>
  </g>
  <polygon points="22.5,23.5 25.5,20.5 31.5,26.5 31.5,28.5 28.5,31.5 26.5,31.5" fill="#808000" stroke="#000000"
           stroke-linejoin="round"/>
  <circle cx="17.5" cy="15.5" r="9" fill="#ffff00" stroke="#000000"/>
  <circle cx="17.5" cy="15.5" r="6" fill="#00ffff" stroke="#008080"/>
  <rect x="14" y="11" width="3" height="2" fill="#ffffff"/>
</svg>
SVG
for size in 16 24 32 48 64 128 256; do
    mkdir -p "$theme/${size}x${size}/apps"
    case $size in
    16 | 32) cp "$work/icon$size.png" "$theme/${size}x${size}/apps/$icon_name.png" ;;
    *) rsvg-convert -w "$size" -h "$size" "$theme/scalable/apps/$icon_name.svg" \
        -o "$theme/${size}x${size}/apps/$icon_name.png" ;;
    esac
done

# The logo, drawn at four times its size and scaled down for smooth edges:
# a dusk-blue field, five result panes fanned out, a magnifier over them and
# the product's name.
convert -size 652x420 gradient:'#1b3f8b'-'#4fa3c7' \
    -stroke '#0d2350' -strokewidth 6 \
    -fill '#f4f7fb' -draw 'roundrectangle 36,24 296,68 10,10' \
    -fill '#e9f1fa' -draw 'roundrectangle 36,80 296,124 10,10' \
    -fill '#f4f7fb' -draw 'roundrectangle 36,136 296,180 10,10' \
    -fill '#e9f1fa' -draw 'roundrectangle 36,192 296,236 10,10' \
    -fill '#f4f7fb' -draw 'roundrectangle 36,248 296,292 10,10' \
    -stroke none -fill '#f2a900' \
    -draw 'rectangle 52,38 116,54' -draw 'rectangle 52,94 116,110' -draw 'rectangle 52,150 116,166' \
    -draw 'rectangle 52,206 116,222' -draw 'rectangle 52,262 116,278' \
    -fill '#9fb4cf' \
    -draw 'rectangle 132,41 276,51' -draw 'rectangle 132,97 256,107' -draw 'rectangle 132,153 280,163' \
    -draw 'rectangle 132,209 246,219' -draw 'rectangle 132,265 266,275' \
    -stroke '#0d2350' -strokewidth 10 -fill '#7a4a12' \
    -draw 'polygon 480,270 515,235 620,340 585,375' \
    -stroke '#0d2350' -strokewidth 10 -fill '#ffd23f' -draw 'circle 410,170 410,40' \
    -fill '#bfe6ff' -stroke '#d99500' -strokewidth 8 -draw 'circle 410,170 410,70' \
    -stroke none -fill '#ffffff' -draw 'ellipse 372,132 32,19 0,360' \
    -font Liberation-Sans-Bold -pointsize 72 -fill '#0d2350' -annotate +40+398 'Scoutwell' \
    -fill white -annotate +36+394 'Scoutwell' \
    -resize 163x105\! -strip -quality 92 -sampling-factor 1x1 splash-logo.jpg

identify program.ico splash-logo.jpg "$theme"/*/apps/*.png
