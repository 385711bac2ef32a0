#!/usr/bin/env bash
# Draws the program icon with ImageMagick: the hicolor PNGs, their Qt resource file and the
# Windows .ico holding the same five images (32 bits per pixel). Run it after changing the
# drawing and commit what it writes; the build only uses the results.
set -euo pipefail
cd "$(dirname "$0")"

sizes=(16 32 48 64 72)
grid=256   # the drawing's coordinate system
over=1024  # each size is drawn at this size and scaled down, for smooth edges
scale=$((over / grid))

# A white Erlenmeyer flask, part filled, on a rounded square in the maker's blue (0, 60, 116).
tile="roundrectangle 8,8 247,247 48,48"
flask="path 'M108,56 L108,108 L62,184 Q52,204 74,204 L182,204 Q204,204 194,184 L148,108 L148,56 Z'"
rim="roundrectangle 96,40 160,60 8,8"
liquid="path 'M101,142 L155,142 L182,184 Q188,194 176,194 L80,194 Q68,194 74,184 Z'"
bubbles="circle 112,172 112,164 circle 146,162 146,157 circle 132,180 132,176"

draw() { # size
    local size=$1 detail=()
    # Bubbles only blur into the liquid below 48 pixels.
    ((size >= 48)) && detail=(-fill '#ffffffb0' -draw "scale $scale,$scale $bubbles")
    convert -size ${over}x${over} gradient:'#2f86c8-#003c74' \
        \( -size ${over}x${over} xc:none -fill white -draw "scale $scale,$scale $tile" \) \
        -compose CopyOpacity -composite -compose Over \
        -fill white -draw "scale $scale,$scale $flask" -draw "scale $scale,$scale $rim" \
        -fill '#2ec4a0' -draw "scale $scale,$scale $liquid" \
        "${detail[@]}" \
        -filter Triangle -resize "${size}x${size}" \
        -strip -define png:exclude-chunks=date,time "PNG32:quorlims-$size.png"
}

for size in "${sizes[@]}"; do draw "$size"; done

pngs=()
for size in "${sizes[@]}"; do pngs+=("quorlims-$size.png"); done
convert "${pngs[@]}" quorlims.ico

{
    echo '<RCC>'
    echo '    <qresource prefix="/icons">'
    for png in "${pngs[@]}"; do echo "        <file>$png</file>"; done
    echo '    </qresource>'
    echo '</RCC>'
} > icons.qrc
