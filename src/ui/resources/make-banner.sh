#!/usr/bin/env bash
# Draws the usage window's banner artwork (371 x 85) into Banner.jpg beside
# this script. The committed Banner.jpg was made with it; run it again only to
# change the design. Needs imagemagick and fonts-dejavu-core.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 371x85 gradient:'#123c6e-#2f7fc1' \
  -fill '#ffffff22' -draw 'circle 330,20 400,20' -fill '#ffffff18' -draw 'circle 300,95 360,95' \
  -fill '#f2b632' -draw 'rectangle 0,79 371,85' \
  -font DejaVu-Sans-Bold -pointsize 24 -fill white -annotate +14+38 'Wendelmarquistone' \
  -font DejaVu-Sans -pointsize 12 -fill '#dce9f7' -annotate +15+60 \
  'Outlook profile generator for Exchange' \
  -quality 90 -strip -sampling-factor 4:2:0 -interlace none Banner.jpg
