#!/usr/bin/env python3
"""Draws the formula icons shipped with the programs into apps/formulaicon/.

Formulas place icons by number (DRAWICON); the chart reads
formulaicon/KLINE_DRAWICON_<n>.bmp beside the program. The icons are pixel
art on a transparent background (32-bit bitmaps with an alpha mask), so they
sit on any chart face. Run from anywhere: python3 scripts/make_formula_icons.py
"""
import os
import struct

ICONS = {
    # 1: buy signal, a red arrow pointing up.
    1: ({"R": "#ff3232", "r": "#a01818"}, [
        "....R....",
        "...RRR...",
        "..RRRRR..",
        ".RRRRRRR.",
        "RRRRRRRRR",
        "...RRR...",
        "...RRR...",
        "...RRR...",
        "...rrr...",
    ]),
    # 2: sell signal, a green arrow pointing down.
    2: ({"G": "#00e600", "g": "#007800"}, [
        "...ggg...",
        "...GGG...",
        "...GGG...",
        "...GGG...",
        "GGGGGGGGG",
        ".GGGGGGG.",
        "..GGGGG..",
        "...GGG...",
        "....G....",
    ]),
    # 3: a yellow star.
    3: ({"Y": "#ffd700", "y": "#b08c00"}, [
        "....Y....",
        "....Y....",
        "...YYY...",
        "YYYYYYYYY",
        ".YYYYYYY.",
        "..YYYYY..",
        "..YY.YY..",
        ".Yy...yY.",
        ".y.....y.",
    ]),
    # 4: a light blue ring.
    4: ({"B": "#4da6ff", "b": "#2a6cb0"}, [
        "...bBb...",
        ".bBBBBBb.",
        ".BB...BB.",
        "bB.....Bb",
        "BB.....BB",
        "bB.....Bb",
        ".BB...BB.",
        ".bBBBBBb.",
        "...bBb...",
    ]),
}


def bmp(palette, rows):
    h = len(rows)
    w = len(rows[0])
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        for ch in row:
            if ch == ".":
                pixels += bytes((0, 0, 0, 0))
            else:
                c = palette[ch]
                r, g, b = int(c[1:3], 16), int(c[3:5], 16), int(c[5:7], 16)
                pixels += bytes((b, g, r, 255))
    header_size = 108  # BITMAPV4HEADER: carries the alpha mask
    offset = 14 + header_size
    info = struct.pack(
        "<IiiHHIIiiII",
        header_size, w, h, 1, 32, 3,  # BI_BITFIELDS
        len(pixels), 2835, 2835, 0, 0)
    info += struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    info += b"BGRs" + bytes(36) + bytes(12)  # sRGB, no endpoints or gamma
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + info + bytes(pixels)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(root, "apps", "formulaicon")
    os.makedirs(out, exist_ok=True)
    for n, (palette, rows) in ICONS.items():
        assert all(len(r) == len(rows[0]) for r in rows), n
        with open(os.path.join(out, "KLINE_DRAWICON_%d.bmp" % n), "wb") as f:
            f.write(bmp(palette, rows))


if __name__ == "__main__":
    main()
