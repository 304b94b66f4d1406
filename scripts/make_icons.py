#!/usr/bin/env python3
"""Draws the embedded chart icons as pixel art into resources/images/.

The icons are a few pixels wide, so they are drawn pixel by pixel rather than
rasterised from shapes: every pixel stays crisp on the dark chart face.
Run from anywhere: python3 scripts/make_icons.py
"""
import os
import struct
import zlib

ICONS = {
    # Closes the call-auction band: a boxed cross with rounded corners.
    "close_dline_jhjj.png": (
        {"B": "#a0a0a0", "f": "#262626", "X": "#f0f0f0"},
        [
            ".BBBBBBBBB.",
            "BfffffffffB",
            "BfXfffffXfB",
            "BffXfffXffB",
            "BfffXfXfffB",
            "BffffXffffB",
            "BfffXfXfffB",
            "BffXfffXffB",
            "BfXfffffXfB",
            "BfffffffffB",
            ".BBBBBBBBB.",
        ],
    ),
    # Dividend event: an amber pin with a light coin face.
    "lineinfo_qxxx.png": (
        {"D": "#c86e00", "O": "#ffa51e", "w": "#fff0c0"},
        [
            ".DDDD.",
            "DOOOOD",
            "DOwwOD",
            "DOwwOD",
            "DOOOOD",
            ".DOOD.",
            "..DD..",
            "..DD..",
            "..DD..",
            "..DD..",
            "..DD..",
        ],
    ),
    # Announcement event: a blue square flag with text lines.
    "lineinfo_gpgm.png": (
        {"B": "#3c8cff", "w": "#e6f0ff"},
        [
            "BBBBBB",
            "BwwwwB",
            "BBBBBB",
            "BwwwBB",
            "BBBBBB",
            ".BBBB.",
            "..BB..",
            "..BB..",
            "..BB..",
            "..BB..",
            "..BB..",
        ],
    ),
    # Level events: a spiked mine, amber for a low level, red for a high one.
    "dilei1.png": (
        {"S": "#ffd84a", "M": "#e0aa00", "h": "#fff8dc"},
        None,
    ),
    "dilei2.png": (
        {"S": "#ff7070", "M": "#e02828", "h": "#ffe0e0"},
        None,
    ),
}

MINE = [
    "....S....",
    ".S.MMM.S.",
    "..MMMMM..",
    ".MhhMMMM.",
    "SMhMMMMMS",
    ".MMMMMMM.",
    "..MMMMM..",
    ".S.MMM.S.",
    "....S....",
]


def rgba(colour):
    return bytes(int(colour[i:i + 2], 16) for i in (1, 3, 5)) + b"\xff"


def png(rows, palette):
    width, height = len(rows[0]), len(rows)
    raw = b""
    for row in rows:
        assert len(row) == width, row
        raw += b"\x00" + b"".join(
            b"\x00\x00\x00\x00" if ch == "." else rgba(palette[ch]) for ch in row)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")
    for name, (palette, rows) in ICONS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(png(rows or MINE, palette))


if __name__ == "__main__":
    main()
