#!/usr/bin/env python3
"""Makes Tarnwick's icon, icon-list and cursor files from the text pictures.

A picture file in src/ holds one line per pixel row, top row first, one
letter per pixel: a letter of src/palette.txt, or '.' for transparent.
Lines that start with '#' and blank lines are ignored.

Written (and committed, so that the build needs no Python):
  icons/<list>_<state>.ico  one 16-colour icon per list entry,
                            state 0 normal, 1 running, 2 disabled
  icons/<list>.xti          the three-entry icon list in its stored form
  cursors/<name>.cur        the monochrome screen cursors, hot spot (0, 0)

Usage: make_resources.py [--out DIR]    (DIR defaults to this folder)

The output depends on the text pictures alone, so running the script again
gives the same bytes; check_resources.py relies on that to find stale files.
"""

import argparse
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.join(HERE, "src")

TRANSPARENT = "."
# The running state's background and the disabled state's outline colour.
RUNNING_BACKGROUND = "r"
DISABLED_GREY = "d"
# The tool pictures are drawn with black line-art; their disabled picture
# keeps only that line-art, in grey.
OUTLINE = "k"
# The main icon's square is drawn green; the running entry turns it red.
MAIN_SQUARE = "g"

TOOL_LISTS = ["magnifier", "screenshot", "measurer", "dropper"]
MAIN_LIST = "main"
MAIN_SIZES = [16, 32]
TOOL_SIZE = 16

CURSOR_SIZE = 32
CURSOR_HOTSPOT = (0, 0)
# Cursor name -> (tool picture file, its top-left corner in the cursor). The
# pictures sit below and right of the arrow and must not touch it.
CURSORS = {
    "screenshot": ("cursor_screenshot.txt", (14, 16)),
    "measurer": ("cursor_measurer.txt", (15, 15)),
    "dropper": ("cursor_dropper.txt", (14, 14)),
}
CURSOR_ARROW = "cursor_arrow.txt"
# Monochrome cursor letters: black and white are drawn, '.' leaves the screen.
CURSOR_LETTERS = {"k", "w", TRANSPARENT}


class PictureError(Exception):
    pass


class Picture:
    """A grid of palette letters, rows top to bottom."""

    def __init__(self, rows, name="picture"):
        if not rows:
            raise PictureError(f"{name}: no pixel rows")
        width = len(rows[0])
        for number, row in enumerate(rows):
            if len(row) != width:
                raise PictureError(
                    f"{name}: row {number} is {len(row)} pixels wide, "
                    f"the first row {width}")
        self.rows = [str(row) for row in rows]
        self.name = name

    @property
    def width(self):
        return len(self.rows[0])

    @property
    def height(self):
        return len(self.rows)

    def at(self, x, y):
        return self.rows[y][x]

    def mapped(self, change, name):
        """A copy with every letter passed through change(letter)."""
        return Picture(["".join(change(c) for c in row) for row in self.rows], name)

    def letters(self):
        return {c for row in self.rows for c in row}


def read_palette(path=os.path.join(SRC, "palette.txt")):
    """Returns [(letter, (r, g, b))] in palette index order."""
    entries = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            letter, rgb = line.split()[:2]
            if len(letter) != 1 or letter == TRANSPARENT:
                raise PictureError(f"palette: bad letter {letter!r}")
            value = int(rgb, 16)
            entries.append((letter, (value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF)))
    if len(entries) != 16 or len({e[0] for e in entries}) != 16:
        raise PictureError("palette: needs 16 distinct letters")
    return entries


def read_picture(file_name, allowed, size=None):
    path = os.path.join(SRC, file_name)
    with open(path, encoding="utf-8") as f:
        numbered = [(number, line.rstrip("\n")) for number, line in enumerate(f, 1)
                    if line.strip() and not line.startswith("#")]
    for number, row in numbered:
        if len(row) != len(numbered[0][1]):
            raise PictureError(f"{file_name} line {number}: {len(row)} pixels wide, "
                               f"the first row {len(numbered[0][1])}")
    picture = Picture([row for _, row in numbered], file_name)
    unknown = picture.letters() - set(allowed)
    if unknown:
        raise PictureError(f"{file_name}: unknown letters {sorted(unknown)}")
    if size is not None and (picture.width, picture.height) != size:
        raise PictureError(
            f"{file_name}: is {picture.width}x{picture.height}, needs {size[0]}x{size[1]}")
    return picture


# --- The three states of an icon ---------------------------------------------

def tool_states(normal):
    running = normal.mapped(
        lambda c: RUNNING_BACKGROUND if c == TRANSPARENT else c, normal.name + " running")
    disabled = normal.mapped(
        lambda c: DISABLED_GREY if c == OUTLINE else TRANSPARENT, normal.name + " disabled")
    return [normal, running, disabled]


def main_states(normal):
    running = normal.mapped(
        lambda c: RUNNING_BACKGROUND if c == MAIN_SQUARE else c, normal.name + " running")
    disabled = normal.mapped(
        lambda c: TRANSPARENT if c == TRANSPARENT else DISABLED_GREY, normal.name + " disabled")
    return [normal, running, disabled]


# --- File formats --------------------------------------------------------------

def _row_stride(bits):
    # DIB rows, and both masks, are padded to whole 32-bit words.
    return (bits + 31) // 32 * 4


def _and_mask(picture, is_transparent):
    stride = _row_stride(picture.width)
    out = bytearray()
    for y in reversed(range(picture.height)):  # DIBs are stored bottom-up
        row = bytearray(stride)
        for x in range(picture.width):
            if is_transparent(picture.at(x, y)):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def _bitmap_header(width, height, bit_count, image_bytes):
    # biHeight counts both masks: the XOR image on top of the AND mask.
    return struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bit_count, 0,
                       image_bytes, 0, 0, 0, 0)


def icon_image(picture, palette):
    """One 4-bit icon image: header, 16-entry palette, XOR pixels, AND mask."""
    index = {letter: i for i, (letter, _) in enumerate(palette)}
    stride = _row_stride(4 * picture.width)
    xor = bytearray()
    for y in reversed(range(picture.height)):
        row = bytearray(stride)
        for x in range(picture.width):
            c = picture.at(x, y)
            # A transparent pixel must be black in the XOR image, or the AND
            # mask would let it tint the background.
            value = 0 if c == TRANSPARENT else index[c]
            row[x // 2] |= value << (4 if x % 2 == 0 else 0)
        xor += row
    mask = _and_mask(picture, lambda c: c == TRANSPARENT)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in palette)
    return (_bitmap_header(picture.width, picture.height, 4, len(xor) + len(mask))
            + colours + bytes(xor) + mask)


def _directory(kind, entries):
    """ICONDIR plus entries; entries are (width, height, colours, field4, field6, image)."""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    images = b""
    for width, height, colours, a, b, image in entries:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, a, b,
                           len(image), offset)
        offset += len(image)
        images += image
    return out + images


def icon_file(pictures, palette):
    """A .ico file with one 16-colour image per picture."""
    return _directory(1, [(p.width, p.height, 16, 1, 4, icon_image(p, palette))
                          for p in pictures])


def cursor_file(picture, hotspot):
    """A monochrome .cur file. Black: AND 0, XOR 0; white: AND 0, XOR 1;
    transparent: AND 1, XOR 0 (AND 1 with XOR 1 would invert the screen)."""
    stride = _row_stride(picture.width)
    xor = bytearray()
    for y in reversed(range(picture.height)):
        row = bytearray(stride)
        for x in range(picture.width):
            if picture.at(x, y) == "w":
                row[x // 8] |= 0x80 >> (x % 8)
        xor += row
    mask = _and_mask(picture, lambda c: c == TRANSPARENT)
    colours = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = (_bitmap_header(picture.width, picture.height, 1, len(xor) + len(mask))
             + colours + bytes(xor) + mask)
    # In a .cur directory entry the planes and bit-count fields hold the hot spot.
    return _directory(2, [(picture.width, picture.height, 2, hotspot[0], hotspot[1], image)])


def stored_list(icons):
    """An icon list's stored form: count, then size and .ico bytes per entry."""
    out = struct.pack("<i", len(icons))
    for data in icons:
        out += struct.pack("<i", len(data)) + data
    return out


# --- Cursors -----------------------------------------------------------------

def compose(size, layers, name):
    """Pastes (picture, (x, y)) layers onto a transparent square; layers may
    neither leave the square nor cover each other's drawn pixels."""
    canvas = [[TRANSPARENT] * size for _ in range(size)]
    for picture, (left, top) in layers:
        if left < 0 or top < 0 or left + picture.width > size or top + picture.height > size:
            raise PictureError(f"{name}: {picture.name} does not fit at ({left}, {top})")
        for y in range(picture.height):
            for x in range(picture.width):
                c = picture.at(x, y)
                if c == TRANSPARENT:
                    continue
                if canvas[top + y][left + x] != TRANSPARENT:
                    raise PictureError(f"{name}: {picture.name} covers another layer "
                                       f"at ({left + x}, {top + y})")
                canvas[top + y][left + x] = c
    return Picture(["".join(row) for row in canvas], name)


def cursor_pictures():
    arrow = read_picture(CURSOR_ARROW, CURSOR_LETTERS)
    return {name: compose(CURSOR_SIZE, [(arrow, (0, 0)),
                                        (read_picture(file_name, CURSOR_LETTERS), offset)],
                          name + " cursor")
            for name, (file_name, offset) in CURSORS.items()}


# --- Everything ----------------------------------------------------------------

def icon_lists(palette):
    """List name -> its three entries, each a list of pictures (one per size)."""
    letters = [letter for letter, _ in palette] + [TRANSPARENT]
    lists = {}
    mains = [main_states(read_picture(f"main{n}.txt", letters, (n, n))) for n in MAIN_SIZES]
    lists[MAIN_LIST] = [[sizes[state] for sizes in mains] for state in range(3)]
    for tool in TOOL_LISTS:
        states = tool_states(read_picture(f"{tool}.txt", letters, (TOOL_SIZE, TOOL_SIZE)))
        lists[tool] = [[picture] for picture in states]
    return lists


def build():
    """Relative output path -> file bytes, in a fixed order."""
    palette = read_palette()
    files = {}
    for name, entries in icon_lists(palette).items():
        icons = [icon_file(pictures, palette) for pictures in entries]
        for state, data in enumerate(icons):
            files[f"icons/{name}_{state}.ico"] = data
        files[f"icons/{name}.xti"] = stored_list(icons)
    for name, picture in cursor_pictures().items():
        files[f"cursors/{name}.cur"] = cursor_file(picture, CURSOR_HOTSPOT)
    return files


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=HERE, help="folder to write into")
    args = parser.parse_args(argv)
    try:
        files = build()
    except (PictureError, OSError, ValueError) as error:
        print(f"make_resources: {error}", file=sys.stderr)
        return 1
    for relative, data in files.items():
        path = os.path.join(args.out, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        print(f"{relative}: {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
