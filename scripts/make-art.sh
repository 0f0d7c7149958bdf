#!/usr/bin/env bash
# Redraws the window's artwork in ui/res: the background picture and the icon.
# The outputs are kept in the repository, so ordinary builds never run this;
# run it after changing the drawing below or scripts/make-icon.py. Every run writes
# the same bytes (-strip leaves the JPEG no date, no profile, no comment), so the
# committed files are what it makes.
# Needs Debian's imagemagick, fonts-dejavu-core and python3.
set -euo pipefail
cd "$(dirname "$0")/.."

# Debian's ImageMagick, by full path, so that no other "convert" on PATH is used.
convert=/usr/bin/convert
fonts=/usr/share/fonts/truetype/dejavu
bold=$fonts/DejaVuSans-Bold.ttf
plain=$fonts/DejaVuSans.ttf
for f in "$convert" "$bold" "$plain"; do
  [ -e "$f" ] || { echo "make-art: missing $f" >&2; exit 1; }
done

out=ui/res
mkdir -p "$out"

# Background: 444 x 420, painted unscaled from the top-left of the 442 x 419
# client area.
#   title band    y 0..70     blue gradient, lettering at left
#   white panel   x 20..423, y 82..371, rounded, thin grey border; the
#                 controls sit on it at x 104..334, y 111..337 and paint
#                 white button faces, so it must stay pure white
#   status strip  y 385..419  light grey-blue, a note sign at left; the window's
#                 status draws its text right of it, over the strip's own pixels
#   margins       light blue-grey around the panel
"$convert" \
  -size 444x420 gradient:'#E4EAF2-#D2DBE6' \
  \( -size 444x71 gradient:'#5A8FDC-#2A58A8' \) -geometry +0+0 -composite \
  \( -size 444x34 gradient:'rgba(255,255,255,0.22)-rgba(255,255,255,0.04)' \) \
  -geometry +0+0 -composite \
  -fill '#9DC0F0' -draw 'line 0,0 443,0' \
  -fill '#1E4688' -draw 'line 0,70 443,70' \
  -fill '#B9C6D6' -draw 'line 0,71 443,71' \
  -font "$bold" -pointsize 26 \
  -fill 'rgba(10,30,70,0.45)' -annotate +53+47 'Quendral' \
  -fill white -annotate +52+46 'Quendral' \
  -font "$plain" -pointsize 28 \
  -fill 'rgba(10,30,70,0.45)' -annotate +19+48 $'\xe2\x99\xab' \
  -fill white -annotate +18+47 $'\xe2\x99\xab' \
  \( -size 444x420 xc:none -fill 'rgba(40,60,95,0.30)' \
     -draw 'roundrectangle 21,84 425,374 10,10' -blur 0x3 \) -composite \
  -fill white -stroke '#B2BFCF' -strokewidth 1 \
  -draw 'roundrectangle 20.5,82.5 423.5,371.5 10,10' \
  -stroke none \
  \( -size 444x35 gradient:'#D6DFEA-#C4D0DE' \) -geometry +0+385 -composite \
  -fill '#A8B6C8' -draw 'line 0,385 443,385' \
  -fill '#EEF2F7' -draw 'line 0,386 443,386' \
  -font "$plain" -pointsize 11 -fill '#3E5371' \
  -annotate +14+407 $'\xe2\x99\xaa' \
  -strip -type TrueColor -colorspace sRGB \
  -interlace none -sampling-factor 1x1 -quality 90 \
  "$out/background.jpg"

# Icon: RT_ICON and RT_GROUP_ICON resource data and a viewable .ico.
/usr/bin/python3 scripts/make-icon.py "$out"

echo "make-art: wrote $out/background.jpg, $out/icon-32.bin, $out/icon-16.bin," \
  "$out/icon-group.bin and $out/quendral.ico"
