#!/usr/bin/python3
"""Draws Quendral's icon: a white pair of beamed notes on a blue rounded tile.

Writes, into the directory given (default ui/res):
  icon-32.bin     RT_ICON data of the 32 x 32 image (header, palette, XOR, AND)
  icon-16.bin     RT_ICON data of the 16 x 16 image
  icon-group.bin  RT_GROUP_ICON data naming them as icons 30001 and 30002
  quendral.ico    both images as an ordinary .ico file, for viewing

Both images are 16-colour (4 bits a pixel) with a transparency mask.
The tile is drawn by code; the notes come from the pixel maps below.
Standard library only; the output is the same on every run.
"""

import os
import struct
import sys

# 16-entry palette, as (red, green, blue).
TRANSPARENT = 0  # XOR colour under masked-out pixels
BORDER = 1
TILE = [2, 3, 4, 5, 6, 7]  # tile fill, darkest (bottom) to lightest (top)
HIGHLIGHT = 8
SHADOW = 9
EDGE = 10  # half-covered glyph pixels
WHITE = 11
PALETTE = [
    (0x00, 0x00, 0x00),
    (0x16, 0x3A, 0x7A),
    (0x23, 0x50, 0xA8),
    (0x2B, 0x5E, 0xBB),
    (0x34, 0x6C, 0xCB),
    (0x3F, 0x7B, 0xD8),
    (0x4D, 0x8A, 0xE2),
    (0x5E, 0x9A, 0xEA),
    (0x8D, 0xB8, 0xF2),
    (0x17, 0x3C, 0x82),
    (0xB9, 0xD2, 0xF4),
    (0xFF, 0xFF, 0xFF),
    (0x80, 0x80, 0x80),
    (0xC0, 0xC0, 0xC0),
    (0x40, 0x40, 0x40),
    (0xE0, 0xE0, 0xE0),
]

# Glyph maps: 'W' white, 'o' edge (half white), '.' tile shows through.
NOTES_32 = """
................................
................................
................................
................................
................................
.....................oWWW.......
..................oWWWWWW.......
...............oWWWWWWWWW.......
.............WWWWWWWWWWWW.......
.............WWWWWWWWWoWW.......
.............WWWWWWo...WW.......
.............WWWo......WW.......
.............WW........WW.......
.............WW........WW.......
.............WW........WW.......
.............WW........WW.......
.............WW........WW.......
.............WW........WW.......
.............WW.....oWWWW.......
.............WW...oWWWWWW.......
.............WW..oWWWWWWW.......
..........oWWWW..WWWWWWWo.......
........oWWWWWW..WWWWWWo........
.......oWWWWWWW..oWWWo..........
.......WWWWWWWo.................
.......WWWWWWo..................
.......oWWWo....................
................................
................................
................................
................................
................................
"""

NOTES_16 = """
................
................
..........oWW...
.......oWWWWW...
......WWWWWoW...
......WWo...W...
......W.....W...
......W.....W...
......W.....W...
......W...oWW...
......W..WWWW...
....oWW..WWo....
...WWWW.........
...WWo..........
................
................
"""


def parse_map(text, size):
    rows = [line for line in text.strip("\n").split("\n")]
    if len(rows) != size or any(len(r) != size for r in rows):
        raise ValueError(f"glyph map is not {size} x {size}")
    for r in rows:
        if set(r) - set("Wo."):
            raise ValueError(f"unknown pixel in glyph row {r!r}")
    return rows


def tile_pixel(x, y, lo, hi, radius):
    """Where (x, y) falls on the rounded tile spanning lo..hi in both axes:
    None (outside), 'border' or 'fill'."""
    if not (lo <= x <= hi and lo <= y <= hi):
        return None
    # Distance from the pixel centre to the nearest corner's arc centre.
    cx = min(max(x + 0.5, lo + radius), hi + 1 - radius)
    cy = min(max(y + 0.5, lo + radius), hi + 1 - radius)
    d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
    if d > radius:
        return None
    if d > radius - 1 or x in (lo, hi) or y in (lo, hi):
        return "border"
    return "fill"


def draw(size, glyph_text, lo, radius, shadow):
    """Returns rows of palette indices and rows of mask bits (1 = see-through)."""
    hi = size - 1 - lo
    glyph = parse_map(glyph_text, size)
    colour = [[TRANSPARENT] * size for _ in range(size)]
    mask = [[1] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            where = tile_pixel(x, y, lo, hi, radius)
            if where is None:
                continue
            mask[y][x] = 0
            if where == "border":
                colour[y][x] = BORDER
                continue
            if y == lo + 1:
                colour[y][x] = HIGHLIGHT
            else:
                # Lightest at the top, darkest at the bottom.
                t = (y - lo - 2) / max(1, hi - lo - 3)
                colour[y][x] = TILE[len(TILE) - 1 - min(len(TILE) - 1, int(t * len(TILE)))]
            g = glyph[y][x]
            if g == "W":
                colour[y][x] = WHITE
            elif g == "o":
                colour[y][x] = EDGE
            elif shadow and x > 0 and y > 0 and glyph[y - 1][x - 1] == "W":
                colour[y][x] = SHADOW
    return colour, mask


def icon_image(colour, mask):
    """RT_ICON data: BITMAPINFOHEADER, palette, XOR bitmap, AND mask.
    Rows are stored bottom-up, each padded to a multiple of 4 bytes."""
    size = len(colour)
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor = bytearray()
    for row in reversed(colour):
        line = bytearray(xor_stride)
        for x, c in enumerate(row):
            line[x // 2] |= c << (4 if x % 2 == 0 else 0)
        xor += line
    and_mask = bytearray()
    for row in reversed(mask):
        line = bytearray(and_stride)
        for x, bit in enumerate(row):
            if bit:
                line[x // 8] |= 0x80 >> (x % 8)
        and_mask += line
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        size,  # biWidth
        size * 2,  # biHeight: XOR and AND halves
        1,  # biPlanes
        4,  # biBitCount
        0,  # biCompression: BI_RGB
        len(xor) + len(and_mask),  # biSizeImage
        0,
        0,
        0,  # biClrUsed: 0 means all 16
        0,
    )
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(and_mask)


def group_entry_fields(size, data):
    # bWidth, bHeight, bColorCount, bReserved, wPlanes, wBitCount, dwBytesInRes
    return (size % 256, size % 256, 16, 0, 1, 4, len(data))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "ui/res"
    os.makedirs(out, exist_ok=True)
    images = [
        (32, 30001, icon_image(*draw(32, NOTES_32, lo=1, radius=6, shadow=True))),
        (16, 30002, icon_image(*draw(16, NOTES_16, lo=0, radius=4, shadow=False))),
    ]
    if len(PALETTE) != 16:
        raise ValueError("the palette needs 16 entries")

    # GRPICONDIR, then one GRPICONDIRENTRY (ending in a 16-bit id) per image.
    group = struct.pack("<HHH", 0, 1, len(images))
    for size, res_id, data in images:
        group += struct.pack("<BBBBHHIH", *group_entry_fields(size, data), res_id)

    # .ico: ICONDIR, ICONDIRENTRYs (ending in a 32-bit file offset), images.
    ico = struct.pack("<HHH", 0, 1, len(images))
    offset = len(ico) + 16 * len(images)
    for size, _, data in images:
        ico += struct.pack("<BBBBHHII", *group_entry_fields(size, data), offset)
        offset += len(data)
    for _, _, data in images:
        ico += data

    files = {
        "icon-32.bin": images[0][2],
        "icon-16.bin": images[1][2],
        "icon-group.bin": group,
        "quendral.ico": ico,
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
