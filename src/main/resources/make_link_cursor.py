#!/usr/bin/env python3
"""Writes link_hand.cur: the About box's link cursor, a 32 by 32 monochrome pointing hand whose
hot spot (12, 1) lies in the tip of the raised finger. Run it again after changing the picture."""
import pathlib
import struct

SIZE = 32
HOT_SPOT = (12, 1)


def hand():
    """The hand's pixels as a set of (x, y), y growing downwards."""
    shape = set()

    def box(x0, x1, y0, y1, round_top=True):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                if round_top and y == y0 and x in (x0, x1):
                    continue
                shape.add((x, y))

    box(10, 14, 0, 16)  # the raised finger
    box(14, 18, 7, 16)
    box(18, 22, 8, 16)
    box(22, 26, 10, 18)
    box(6, 26, 14, 23, round_top=False)  # palm
    box(8, 24, 24, 27, round_top=False)  # wrist
    for x in range(3, 11):  # thumb, slanting up to the left
        for y in range(13, 22):
            if 8 <= y - x <= 14:
                shape.add((x, y))
    return shape


def picture():
    """Rows of 'B' (black), 'W' (white) and ' ' (transparent)."""
    shape = hand()
    seams = {(14, y) for y in range(8, 15)} | {(18, y) for y in range(9, 15)} | {
        (22, y) for y in range(11, 16)}
    rows = []
    for y in range(SIZE):
        row = ""
        for x in range(SIZE):
            if (x, y) not in shape:
                row += " "
            elif (x, y) in seams or any(n not in shape for n in (
                    (x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1))):
                row += "B"
            else:
                row += "W"
        rows.append(row)
    return rows


def mask_rows(rows, bit):
    """A 1-bit bitmap, bottom row first, each row 4 bytes, leftmost pixel in the high bit."""
    data = b""
    for row in reversed(rows):
        value = 0
        for x, pixel in enumerate(row):
            if bit(pixel):
                value |= 1 << (SIZE - 1 - x)
        data += value.to_bytes(4, "big")
    return data


def main():
    rows = picture()
    assert rows[HOT_SPOT[1]][HOT_SPOT[0]] != " ", "the hot spot must lie on the hand"
    colours = mask_rows(rows, lambda p: p == "W")  # palette index 1 is white
    transparent = mask_rows(rows, lambda p: p == " ")  # AND mask: 1 keeps the screen
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 1, 0, len(colours) * 2, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + colours + transparent
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    out = pathlib.Path(__file__).with_name("link_hand.cur")
    out.write_bytes(directory + entry + image)
    print("\n".join(r.replace(" ", ".") for r in rows))


if __name__ == "__main__":
    main()
