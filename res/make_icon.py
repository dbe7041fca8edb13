#!/usr/bin/env python3
"""Writes Tavrel.ico: one 32x32, 16-colour image of a shelf of equipment wired to two terminals.

Standard library only. Run from anywhere: python3 res/make_icon.py
"""
import os
import struct

SIZE = 32

# The 16 colours of the standard palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, TEAL, SILVER, GREY, LIME, YELLOW, BLUE, CYAN, WHITE = 0, 4, 6, 7, 8, 10, 11, 12, 14, 15
CLEAR = None


def draw():
    """Returns the picture as rows of palette indices, top row first; CLEAR is transparent."""
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pixels[y][x] = colour

    def box(x0, y0, x1, y1, face):
        fill(x0, y0, x1, y1, BLACK)
        fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, face)

    # The shelf: a rack unit with status lights and a row of ports.
    box(2, 1, 29, 11, SILVER)
    fill(3, 2, 28, 2, WHITE)
    fill(3, 10, 28, 10, GREY)
    for x in (5, 8, 11):
        fill(x, 4, x + 1, 5, LIME)
    fill(14, 4, 15, 5, YELLOW)
    for x in range(5, 27, 3):
        fill(x, 7, x + 1, 8, BLACK)

    # The network: a drop from the shelf to a bus, and a drop from the bus to each terminal.
    fill(15, 12, 16, 16, BLUE)
    fill(4, 16, 27, 17, BLUE)
    fill(4, 18, 5, 20, BLUE)
    fill(26, 18, 27, 20, BLUE)

    # Two terminals: a screen on a stand.
    for x0 in (0, 20):
        box(x0, 21, x0 + 11, 28, NAVY)
        fill(x0 + 2, 23, x0 + 9, 26, CYAN)
        fill(x0 + 2, 23, x0 + 9, 23, TEAL)
        fill(x0 + 4, 29, x0 + 7, 29, GREY)
        fill(x0 + 2, 30, x0 + 9, 31, BLACK)
        fill(x0 + 3, 30, x0 + 8, 30, GREY)
    return pixels


def encode(pixels):
    """Packs the picture into an .ico file holding one 4-bit image with its transparency mask."""
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        xor_bytes = bytearray()
        for x in range(0, SIZE, 2):
            hi, lo = (c if c is not None else 0 for c in row[x:x + 2])
            xor_bytes.append(hi << 4 | lo)
        xor_rows.append(bytes(xor_bytes))
        mask = 0
        for c in row:
            mask = mask << 1 | (1 if c is None else 0)
        and_rows.append(mask.to_bytes(SIZE // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + image


if __name__ == "__main__":
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Tavrel.ico")
    with open(target, "wb") as out:
        out.write(encode(draw()))
