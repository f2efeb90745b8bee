#!/usr/bin/env bash
# Draws Treskel's pictures, cursors and icons into resources/art/. The results are committed, so a build
# needs none of the tools used here; run this again only after changing a drawing.
# Needs ImageMagick 6 (/usr/bin/convert) and python3 (for the icon and cursor files only).
set -euo pipefail
cd "$(dirname "$0")"
convert=/usr/bin/convert
identify=/usr/bin/identify
art=art
mkdir -p "$art"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- Helpers ----------------------------------------------------------------------------------------------

# A 16 x 16 map of 256 different colours whose first pixels are the given colours ("none" included).
# Remapping a picture onto it gives a GIF with a full 256-entry palette of which only the picture's own
# colours are used: ImageMagick sizes a GIF palette by the colours it holds, not by what is used.
palette_256() {
    local out=$1; shift
    local draw="" i=0 colour
    for colour in "$@"; do
        draw="$draw fill $colour color $i,0 point"
        i=$((i + 1))
    done
    # Red by column, green by row, blue by the sum: 256 distinct colours; the given ones replace the first.
    "$convert" -size 16x16 xc:black -channel R -fx 'i/15' -channel G -fx 'j/15' -channel B -fx '((i+j)%3)/2' \
        +channel -alpha set -draw "$draw" "$out"
}

# Stops when a GIF's palette does not have the given number of entries (byte 10 holds its size).
gif_palette() {
    local flags
    flags=$(od -An -tu1 -j10 -N1 "$1")
    if [ $((2 << (flags & 7))) -ne "$2" ]; then
        echo "$1: the palette has $((2 << (flags & 7))) entries, not $2" >&2
        exit 1
    fi
}

# Writes a one-picture .ico (no hot spot given) or .cur (hot spot x y given) with exactly the colour depth
# asked for. ImageMagick always writes 32-bit icons, loses the mask of a two-colour one and writes no hot
# spot, so it only delivers the pixels here and python3 packs them: palette (depth 1, 4, 8) or BGR (24),
# then the one-bit mask; transparent pixels are black in the image and set in the mask.
icon_file() {
    local picture=$1 bits=$2 out=$3 hotX=${4:-} hotY=${5:-}
    local width height
    read -r width height < <("$identify" -format '%w %h\n' "$picture")
    "$convert" "$picture" -alpha set -depth 8 "RGBA:$work/pixels.rgba"
    python3 - "$work/pixels.rgba" "$width" "$height" "$bits" "$out" $hotX $hotY <<'PY'
import struct, sys
raw, width, height, bits, out = sys.argv[1], *map(int, sys.argv[2:5]), sys.argv[5]
hot = tuple(map(int, sys.argv[6:8])) if len(sys.argv) > 6 else None
data = open(raw, 'rb').read()
pixels = [data[i:i + 4] for i in range(0, len(data), 4)]

def packed(values, depth):   # one bottom-up row, padded to whole 32-bit words
    number = 0
    for v in values:
        number = number << depth | v
    size = (len(values) * depth + 31) // 32 * 4
    return (number << (size * 8 - len(values) * depth)).to_bytes(size, 'big')

palette = []
if bits <= 8:
    palette = [b'\0\0\0']
    palette += sorted({p[:3] for p in pixels if p[3] >= 128} - {b'\0\0\0'})
    if len(palette) > 1 << bits:
        sys.exit(f'{out}: {len(palette)} colours need more than {bits} bits')
    palette += [b'\0\0\0'] * ((1 << bits) - len(palette))
image = mask = b''
for y in reversed(range(height)):
    row = pixels[y * width:(y + 1) * width]
    if bits == 24:
        line = b''.join(p[2::-1] if p[3] >= 128 else b'\0\0\0' for p in row)
        image += line + b'\0' * (-len(line) % 4)
    else:
        image += packed([palette.index(p[:3]) if p[3] >= 128 else 0 for p in row], bits)
    mask += packed([0 if p[3] >= 128 else 1 for p in row], 1)
header = struct.pack('<IiiHHIIiiII', 40, width, 2 * height, 1, bits, 0, len(image) + len(mask), 0, 0, 0, 0)
body = header + b''.join(c[2::-1] + b'\0' for c in palette) + image + mask
colours = 1 << bits if bits < 8 else 0
planes, depth = hot if hot else (1, bits)   # a cursor keeps its hot spot where an icon has planes and depth
entry = struct.pack('<BBBBHHII', width % 256, height % 256, colours, 0, planes, depth, len(body), 22)
open(out, 'wb').write(struct.pack('<HHH', 0, 2 if hot else 1, 1) + entry + body)
PY
}

# --- Panel strip: a blue band of slanted stripes, two downward chevrons on a light field in its middle -----
stripes="" chevrons=""
for x in $(seq 0 4 106); do
    stripes="$stripes polygon $x,6 $((x + 1)),6 $((x + 4)),2 $((x + 3)),2"
done
for centre in 46 60; do
    for k in 0 1 2 3 4 5; do
        chevrons="$chevrons point $((centre - 5 + k)),$((k + 1)) point $((centre - 4 + k)),$((k + 1))"
        chevrons="$chevrons point $((centre + 4 - k)),$((k + 1)) point $((centre + 5 - k)),$((k + 1))"
    done
done
"$convert" -size 107x9 xc:none +antialias \
    -fill '#4a6fa5' -draw 'rectangle 0,2 106,6' -fill '#a9c1e3' -draw "$stripes" \
    -fill '#e8eef7' -draw 'rectangle 38,2 68,6' -fill '#1f3c6e' -draw "$chevrons" \
    "$art/panel-strip.gif"

# --- Exit picture: a red cross of two rounded bars with a light edge -----------------------------------------
"$convert" -size 60x58 xc:none -stroke '#7a0c0c' -strokewidth 2 -fill '#d42020' \
    -draw 'translate 30,29 rotate 45 roundrectangle -25,-7 25,7 4,4' \
    -draw 'translate 30,29 rotate -45 roundrectangle -25,-7 25,7 4,4' \
    -stroke none -draw 'translate 30,29 rotate 45 rectangle -6,-6 6,6' \
    -fill '#f07070' -draw 'translate 30,29 rotate -45 roundrectangle -21,-4.5 -9,-2.5 1,1' \
    -draw 'translate 30,29 rotate -45 roundrectangle 9,-4.5 21,-2.5 1,1' \
    -draw 'translate 30,29 rotate 45 roundrectangle -21,-4.5 -9,-2.5 1,1' \
    -channel A -threshold 50% +channel "$art/exit.gif"

# --- Hand cursors: one pointing hand, drawn pixel by pixel -------------------------------------------------
# Upright, the index fingertip at (12, 1): the colour cursor as it is.
cat >"$work/hand.xpm" <<'XPM'
/* XPM */
static char *hand[] = {
"32 32 7 1",
". c None",
"k c #000000",
"w c #FFFFFF",
"s c #F2C28E",
"d c #C98A55",
"b c #2E5FB8",
"n c #163A7A",
"................................",
"...........kkk..................",
"..........kwssk.................",
"..........kwsdk.................",
"..........kwsdk.................",
"..........kwsdk.................",
"..........kwsdk.................",
"..........kwsdk.................",
"..........kwsdk.................",
"..........kwsdkkkk..............",
"..........kwsdkwsdkkkk..........",
"..........kwsdkwsdkwsdkkk.......",
"..........kwsdkwsdkwsdkwsk......",
".....kkkkkkwsdkwsdkwsdkwsdk.....",
"....kwsssskwsdkwsdkwsdkwsdk.....",
"....kwsssskwsdkwsdkwsdkwsdk.....",
".....kdssskwsdkwsdkwsdkwsdk.....",
"......kdsssssskkkskkkskkkdk.....",
".......kdssssssssssssssssdk.....",
"........kssssssssssssssssdk.....",
".........kwssssssssssssssdk.....",
".........kwssssssssssssssdk.....",
".........kwsssssssssssssddk.....",
"..........ksssssssssssssdk......",
"..........kssssssssssssddk......",
"...........kdddddddddddk........",
"..........kkkkkkkkkkkkkkk.......",
"..........kbbbbbbbbbbbbnk.......",
"..........kbbbbbbbbbbbbnk.......",
"..........kbbbbbbbbbbbbnk.......",
"..........kkkkkkkkkkkkkkk.......",
"................................"};
XPM
"$convert" "$work/hand.xpm" "$work/hand-colour.png"
icon_file "$work/hand-colour.png" 4 "$art/hand-colour.cur" 12 1

# The two-colour cursor is the same hand in black and white, turned 30 degrees to the left (drawn eight
# times larger, then reduced) so that the fingertip lies on the corner (0, 0). A black edge closes the
# outline where the finger meets the picture's border.
"$convert" -size 32x32 xc:none -fill black -draw 'line 0,0 31,0 line 0,0 0,31' "$work/corner-edge.png"
"$convert" "$work/hand.xpm" -fill white -opaque '#F2C28E' -opaque '#C98A55' -opaque '#2E5FB8' -opaque '#163A7A' \
    -filter point -resize 800% -virtual-pixel transparent -distort SRT '100,8 0.95 -30 4,4' -scale 12.5% \
    \( +clone -alpha extract -threshold 40% \) -alpha off -threshold 70% -compose copy_opacity -composite \
    "$work/corner-edge.png" -compose atop -composite "$work/hand.png"
icon_file "$work/hand.png" 1 "$art/hand.cur" 0 0

# --- Main window icon: a yellow folder with a written page and a green arrow --------------------------------
"$convert" -size 32x31 xc:none \
    -stroke '#8a5a00' -strokewidth 1 -fill '#e0a526' \
    -draw "path 'M 1.5,7.5 L 10.5,7.5 L 13.5,10.5 L 28.5,10.5 L 28.5,28.5 L 1.5,28.5 Z'" \
    -stroke '#555555' -fill white -draw 'rectangle 5.5,2.5 23.5,20.5' \
    -stroke none -fill '#2b4f8f' -draw 'rectangle 8,6 20,7' -draw 'rectangle 8,9 18,10' \
    -draw 'rectangle 8,12 21,13' -draw 'rectangle 8,15 16,16' \
    \( -size 28x17 gradient:'#ffd766'-'#e69b12' \) -geometry +1+12 -compose over -composite \
    -stroke '#8a5a00' -fill none -draw 'rectangle 1.5,12.5 28.5,28.5' \
    -stroke '#1d6b1d' -fill '#3cb83c' -draw 'polygon 19.5,17.5 25.5,17.5 25.5,14.5 31,20.5 25.5,26.5 25.5,23.5 19.5,23.5' \
    -channel A -threshold 50% +channel "$work/treskel.png"
icon_file "$work/treskel.png" 24 "$art/treskel.ico"

# --- Info window icon: a white "i" on a blue disc, 7 x 7 ------------------------------------------------------
cat >"$work/info.xpm" <<'XPM'
/* XPM */
static char *info[] = {
"7 7 5 1",
". c None",
"b c #1E5AA8",
"l c #4F8FD8",
"d c #0F3166",
"w c #FFFFFF",
"..lbb..",
".lbwbb.",
"lbbbbbd",
"bbbwbbd",
"bbbwbbd",
".bbwbd.",
"..ddd.."};
XPM
"$convert" "$work/info.xpm" "$work/info.png"
icon_file "$work/info.png" 8 "$art/info.ico"

# --- Logo: a blue rounded square with a white folder tree and three yellow folders ---------------------------
"$convert" -size 100x79 xc:white \
    \( -size 100x79 radial-gradient:'#5fc3e8'-'#123a7a' -distort SRT '50,39 1.3 0 40,30' \) \
    \( -size 100x79 xc:black -fill white -draw 'roundrectangle 12,2 87,76 16,16' \) -compose over -composite \
    -fill none -stroke white -strokewidth 3 -draw 'line 32,16 32,62' \
    -draw 'line 32,27 48,27' -draw 'line 32,43 48,43' -draw 'line 32,59 48,59' \
    -stroke none -fill '#ffd23f' -draw 'roundrectangle 48,21 72,33 2,2' \
    -draw 'roundrectangle 48,37 72,49 2,2' -draw 'roundrectangle 48,53 72,65 2,2' \
    -fill '#f5a623' -draw 'rectangle 48,21 56,24' -draw 'rectangle 48,37 56,40' -draw 'rectangle 48,53 56,56' \
    -fill white -draw 'circle 32,14 32,9.5' \
    -alpha off +dither -colors 256 "$art/logo.gif"
gif_palette "$art/logo.gif" 256

# --- Close pictures: a small figure pointing with its right hand; black outline, one fill colour ------------
# The orange one is one pixel wider: its finger reaches one pixel further.
close_picture() {
    local width=$1 fill=$2 out=$3
    palette_256 "$work/close-map.png" none black "$fill"
    "$convert" -size "${width}x43" xc:none +antialias -stroke black -strokewidth 1 -fill "$fill" \
        -draw 'roundrectangle 7,33 11,41 1,1' -draw 'roundrectangle 13,33 17,41 1,1' \
        -draw 'roundrectangle 5,16 19,35 4,4' -draw 'roundrectangle 2,18 6,30 2,2' \
        -draw 'polygon 17,18 24,13 27,17 19,23' \
        -draw "roundrectangle 27,9 $((width - 1)),13 2,2" -draw 'roundrectangle 22,9 29,17 2,2' \
        -draw 'circle 12,8 12,2' \
        -stroke none -fill black -draw 'point 10,7 point 14,7' -draw 'line 10,11 14,11' -draw 'line 23,13 26,13' \
        +dither -remap "$work/close-map.png" "$out"
    gif_palette "$out" 256
}
close_picture 35 '#ffff00' "$art/close-yellow.gif"
close_picture 36 '#ffa500' "$art/close-orange.gif"

# --- Test picture: a round test card (colour bars, grey ramp, colour ramp, cross hair) ---------------------
bars=""
colours=('#c0c0c0' '#c0c000' '#00c0c0' '#00c000' '#c000c0' '#c00000' '#0000c0')
for i in "${!colours[@]}"; do
    bars="$bars fill ${colours[$i]} rectangle $((i * 268 / 7)),0 $(((i + 1) * 268 / 7 - 1)),89"
done
checks=""
for x in $(seq 44 16 216); do
    checks="$checks rectangle $x,$((200 + (x / 16 % 2) * 8)) $((x + 7)),$((207 + (x / 16 % 2) * 8))"
done
"$convert" -size 268x267 xc:'#202020' \
    \( -size 268x90 xc:white -draw "$bars" \) -geometry +0+20 -composite \
    \( -size 40x268 gradient:white-black -rotate -90 \) -geometry +0+112 -composite \
    \( -size 40x268 gradient:white-black -rotate 90 \( -size 268x40 xc:'gray(80%)' \) \
       \( -size 268x40 xc:'gray(90%)' \) -set colorspace HSB -combine -colorspace sRGB \) -geometry +0+154 -composite \
    -fill white -draw "$checks" \
    -fill none -stroke white -strokewidth 2 -draw 'line 134,0 134,267' -draw 'line 0,133 268,133' \
    -draw 'circle 134,133 134,83' -stroke black -strokewidth 3 -draw 'circle 134,133 134,5' \
    \( -size 268x267 xc:black -fill white -draw 'circle 134,133 134,4' \) -alpha off \
    -compose copy_opacity -composite -channel A -threshold 50% +channel \
    +dither -colors 256 "$art/test-picture.gif"
gif_palette "$art/test-picture.gif" 256

echo "drawn into $(pwd)/$art:"
"$identify" "$art"/*
