#!/usr/bin/env bash
# Redraws banner.bmp, bitmap 1 of mscuistf.dll: the product name the frame
# shows above its gradient. Needs ImageMagick and the DejaVu fonts.
# Written as an uncompressed BMP3 of 256 colours, the form every Windows
# version loads: a third of the size of true colour, and the same to the eye.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

convert -size 400x120 gradient:'#0b2a5b'-'#1d5fa8' \
    -fill '#7fb2e5' -draw 'rectangle 24,80 376,81' \
    -font DejaVu-Sans-Bold -pointsize 50 -fill white \
    -gravity northwest -annotate +22+14 'Quorvane/32' \
    -font DejaVu-Sans -pointsize 22 -fill '#cfe3f7' \
    -gravity southeast -annotate +24+10 'Version 2.0' \
    +dither -colors 256 -type Palette -compress None BMP3:"$here/banner.bmp"
