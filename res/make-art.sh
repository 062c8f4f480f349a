#!/usr/bin/env bash
# Draws the dialog's card picture (bitmap 143) and the application icon (icon 128) with
# ImageMagick. The outputs are committed; run this again only to change the artwork.
set -eu
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc

# A card seen from the front: blue band, contact chip, photo field and text lines.
convert -size 300x190 xc:'#F0F0F0' \
    -fill '#FFFFFF' -stroke '#6C7A89' -strokewidth 2 -draw 'roundrectangle 6,6 293,183 16,16' \
    -stroke none -fill '#1F5FA8' -draw 'roundrectangle 7,7 292,52 15,15' -draw 'rectangle 7,30 292,52' \
    -fill '#FFFFFF' -font "$font" -pointsize 20 -annotate +20+38 '社会保障卡' \
    -fill '#D8B04A' -stroke '#8C6D1F' -strokewidth 1 -draw 'roundrectangle 24,72 78,114 6,6' \
    -stroke '#8C6D1F' -draw 'line 24,86 78,86' -draw 'line 24,100 78,100' -draw 'line 51,72 51,114' \
    -stroke none -fill '#DDE6F0' -draw 'rectangle 214,66 276,146' \
    -fill '#9FB4CC' -draw 'circle 245,94 245,80' -draw 'ellipse 245,140 26,18 180,360' \
    -fill '#B8C2CC' -draw 'rectangle 24,128 190,136' -draw 'rectangle 24,146 160,154' -draw 'rectangle 24,164 176,172' \
    -fill '#1F5FA8' -draw 'rectangle 96,78 190,84' -draw 'rectangle 96,96 170,102' \
    -type TrueColor BMP3:card.bmp

# The icon: a small card with a green check mark, at 48, 32 and 16 pixels.
for s in 48 32 16; do
    convert -size 48x48 xc:none \
        -fill '#FFFFFF' -stroke '#2A4A70' -strokewidth 2 -draw 'roundrectangle 3,9 44,39 5,5' \
        -stroke none -fill '#1F5FA8' -draw 'rectangle 4,10 43,18' \
        -fill '#D8B04A' -draw 'rectangle 9,22 19,30' \
        -stroke '#1E9E3A' -strokewidth 5 -fill none -draw 'polyline 22,30 29,37 43,20' \
        -resize ${s}x${s} icon-$s.png
done
convert icon-48.png icon-32.png icon-16.png app.ico
rm -f icon-48.png icon-32.png icon-16.png
