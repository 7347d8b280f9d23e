#!/usr/bin/env python3
"""Checks Tarnwick's committed icon, icon-list and cursor files.

The files are read back with a decoder of their own (not the writer's code),
so a fault in make_resources.py shows up here:
  - every .ico and .cur is well formed, with the exact sizes the tray code
    expects (318 bytes for a tool icon, 1078 for a main icon) and the
    cursors' hot spot at (0, 0);
  - every stored icon list parses: three entries, each the matching .ico;
  - the pictures keep their meaning: running = normal on red, disabled =
    grey only, transparent pixels really transparent, cursors with a black
    arrow tip at (0, 0) and every white pixel enclosed in black;
  - the committed files are what the text pictures make, and making them
    twice gives the same bytes;
  - tarnwick.rc names every resource and file, and the manifest asks for
    what the program needs.

Usage: check_resources.py [--sheet PNG]
  --sheet writes a contact sheet: one row per tool list (normal, running,
  disabled, each ×8, then ×1 and ×2 on a dark and a light tray), the main
  list at 32×32 and 16×16 (×8), and the three cursors (×8). Transparent
  pixels show as a pastel checkerboard.
"""

import argparse
import os
import re
import struct
import sys
import xml.etree.ElementTree as ET
import zlib

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_resources  # noqa: E402  (needs the path above)

TOOLS = ["magnifier", "screenshot", "measurer", "dropper"]
LISTS = ["main"] + TOOLS
CURSORS = ["screenshot", "measurer", "dropper"]
TOOL_ICON_BYTES = 318
MAIN_ICON_BYTES = 1078

BLACK, WHITE = (0, 0, 0), (255, 255, 255)
RED, GREEN, GREY = (255, 0, 0), (0, 128, 0), (128, 128, 128)


class Fault(Exception):
    pass


def need(condition, message):
    if not condition:
        raise Fault(message)


# --- Decoding ------------------------------------------------------------------

class Image:
    """A decoded icon or cursor image. pixels[y][x] is an (r, g, b) colour,
    None for transparent, or "invert" (AND 1 over a non-black XOR pixel)."""

    def __init__(self, width, height, bits, pixels, hotspot=None):
        self.width, self.height, self.bits = width, height, bits
        self.pixels, self.hotspot = pixels, hotspot

    def drawn(self):
        return {(x, y) for y in range(self.height) for x in range(self.width)
                if self.pixels[y][x] is not None}

    def colours(self):
        return {p for row in self.pixels for p in row if p is not None}


def _u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def decode_directory(data, kind, name):
    """Parses an .ico (kind 1) or .cur (kind 2) file into Images."""
    need(len(data) >= 6, f"{name}: shorter than its header")
    reserved, file_kind, count = struct.unpack_from("<HHH", data, 0)
    need(reserved == 0 and file_kind == kind, f"{name}: not a {'.ico' if kind == 1 else '.cur'} file")
    need(count >= 1 and len(data) >= 6 + 16 * count, f"{name}: truncated directory")
    images, end = [], 6 + 16 * count
    for i in range(count):
        w, h, colours, zero, field4, field6, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        need(zero == 0, f"{name}: entry {i} reserved byte set")
        need(offset == end, f"{name}: entry {i} at {offset}, expected {end} (gap or overlap)")
        need(offset + size <= len(data), f"{name}: entry {i} runs past the end of the file")
        image = decode_image(data[offset:offset + size], f"{name} entry {i}")
        end = offset + size
        need((image.width, image.height) == (w, h),
             f"{name}: entry {i} says {w}x{h}, image is {image.width}x{image.height}")
        if kind == 1:
            need(field4 == 1 and field6 == image.bits, f"{name}: entry {i} planes/bit count")
            need(colours == (1 << image.bits if image.bits < 8 else 0),
                 f"{name}: entry {i} colour count {colours}")
        else:
            image.hotspot = (field4, field6)
        images.append(image)
    need(end == len(data), f"{name}: {len(data) - end} stray bytes after the last image")
    return images


def decode_image(data, name):
    need(len(data) >= 40, f"{name}: no bitmap header")
    (size, width, height, planes, bits, compression, _image_size, _xppm, _yppm,
     used, _important) = struct.unpack_from("<IiiHHIIiiII", data, 0)
    need(size == 40, f"{name}: header size {size}")
    need(width > 0 and height == 2 * width, f"{name}: {width}x{height}, height must be 2 x width")
    need(planes == 1 and bits in (1, 4), f"{name}: {bits} bits per pixel")
    need(compression == 0, f"{name}: compressed")
    colours = 1 << bits
    need(used in (0, colours), f"{name}: {used} colours used")
    h = height // 2
    xor_stride = (width * bits + 31) // 32 * 4
    and_stride = (width + 31) // 32 * 4
    palette_at = 40
    xor_at = palette_at + 4 * colours
    and_at = xor_at + xor_stride * h
    need(len(data) == and_at + and_stride * h,
         f"{name}: {len(data)} bytes, expected {and_at + and_stride * h}")
    palette = [tuple(reversed(data[palette_at + 4 * i:palette_at + 4 * i + 3]))
               for i in range(colours)]
    pixels = []
    for y in range(h):
        row_in_file = h - 1 - y  # bottom-up
        xor_row = data[xor_at + xor_stride * row_in_file:]
        and_row = data[and_at + and_stride * row_in_file:]
        row = []
        for x in range(width):
            if bits == 4:
                index = xor_row[x // 2] >> (4 if x % 2 == 0 else 0) & 0xF
            else:
                index = xor_row[x // 8] >> (7 - x % 8) & 1
            transparent = and_row[x // 8] >> (7 - x % 8) & 1
            colour = palette[index]
            if transparent:
                row.append(None if colour == BLACK else "invert")
            else:
                row.append(colour)
        pixels.append(row)
    if bits == 1:
        need(palette == [BLACK, WHITE], f"{name}: monochrome palette is not black, white")
    return Image(width, h, bits, pixels)


def decode_stored_list(data, name):
    """Splits an icon list's stored form into its entries (None = empty)."""
    need(len(data) >= 4, f"{name}: no count")
    count = struct.unpack_from("<i", data, 0)[0]
    need(0 <= count <= 1000, f"{name}: count {count}")
    at, entries = 4, []
    for i in range(count):
        need(at + 4 <= len(data), f"{name}: entry {i} size missing")
        size = struct.unpack_from("<i", data, at)[0]
        at += 4
        if size <= 0:
            entries.append(None)
            continue
        need(at + size <= len(data), f"{name}: entry {i} of {size} bytes runs past the end")
        entries.append(data[at:at + size])
        at += size
    need(at == len(data), f"{name}: {len(data) - at} stray bytes after the last entry")
    return entries


# --- What the pictures must show ------------------------------------------------

def check_no_invert(image, name):
    need(all(p != "invert" for row in image.pixels for p in row),
         f"{name}: has screen-inverting pixels")


def check_tool_icon(states, name):
    normal, running, disabled = states
    drawn = normal.drawn()
    need(0 < len(drawn) < normal.width * normal.height,
         f"{name}: normal picture needs both drawn and transparent pixels")
    need(RED not in normal.colours(), f"{name}: red pixels vanish on the running background")
    for y in range(normal.height):
        for x in range(normal.width):
            before, after = normal.pixels[y][x], running.pixels[y][x]
            expected = RED if before is None else before
            need(after == expected, f"{name}: running ({x}, {y}) is {after}, expected {expected}")
    need(disabled.colours() == {GREY}, f"{name}: disabled picture is not grey only")
    need(disabled.drawn() <= drawn, f"{name}: disabled picture draws outside the picture")
    need(len(disabled.drawn()) * 4 >= len(drawn),
         f"{name}: disabled outline is too sparse to recognise")


def check_main_icon(states, name):
    normal, running, disabled = states
    need(normal.colours() == {GREEN, WHITE}, f"{name}: normal is not white on green")
    need(normal.pixels[normal.height // 2][normal.width // 2] is not None,
         f"{name}: the square has a hole in the middle")
    for y in range(normal.height):
        for x in range(normal.width):
            before = normal.pixels[y][x]
            need(running.pixels[y][x] == (RED if before == GREEN else before),
                 f"{name}: running ({x}, {y}) is not the normal picture on red")
    need(disabled.colours() == {GREY} and disabled.drawn() == normal.drawn(),
         f"{name}: disabled is not a grey square")


def check_cursor(image, name):
    need((image.width, image.height, image.bits) == (32, 32, 1),
         f"{name}: {image.width}x{image.height} at {image.bits} bits, expected 32x32 monochrome")
    need(image.hotspot == (0, 0), f"{name}: hot spot {image.hotspot}, expected (0, 0)")
    check_no_invert(image, name)
    need(image.pixels[0][0] == BLACK, f"{name}: the arrow's tip (0, 0) is not black")
    for y in range(image.height):
        for x in range(image.width):
            if image.pixels[y][x] != WHITE:
                continue
            for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                inside = 0 <= nx < image.width and 0 <= ny < image.height
                need(inside and image.pixels[ny][nx] is not None,
                     f"{name}: white ({x}, {y}) has no black outline")
    drawn = image.drawn()
    need(len(drawn) * 2 < image.width * image.height, f"{name}: mostly opaque")
    need(any(x >= 12 and y >= 12 for x, y in drawn), f"{name}: no tool picture below right")


# --- Whole checks ----------------------------------------------------------------

def read(relative):
    with open(os.path.join(HERE, relative), "rb") as f:
        return f.read()


def check_icons(files):
    """files: relative path -> bytes. Returns {list: [state images]}."""
    decoded = {}
    for name in LISTS:
        states = []
        for state in range(3):
            path = f"icons/{name}_{state}.ico"
            data = files[path]
            expected = MAIN_ICON_BYTES if name == "main" else TOOL_ICON_BYTES
            need(len(data) == expected, f"{path}: {len(data)} bytes, expected {expected}")
            images = decode_directory(data, 1, path)
            sizes = [(i.width, i.height, i.bits) for i in images]
            want = [(16, 16, 4), (32, 32, 4)] if name == "main" else [(16, 16, 4)]
            need(sizes == want, f"{path}: images {sizes}, expected {want}")
            for image in images:
                check_no_invert(image, path)
            states.append(images)
        if name == "main":
            for size in range(2):
                check_main_icon([s[size] for s in states], f"main {16 << size}")
        else:
            check_tool_icon([s[0] for s in states], name)
        entries = decode_stored_list(files[f"icons/{name}.xti"], f"icons/{name}.xti")
        need(len(entries) == 3, f"icons/{name}.xti: {len(entries)} entries, expected 3")
        for state, entry in enumerate(entries):
            need(entry == files[f"icons/{name}_{state}.ico"],
                 f"icons/{name}.xti: entry {state} differs from icons/{name}_{state}.ico")
        decoded[name] = states
    return decoded


def check_cursors(files):
    decoded = {}
    for name in CURSORS:
        path = f"cursors/{name}.cur"
        images = decode_directory(files[path], 2, path)
        need(len(images) == 1, f"{path}: {len(images)} images")
        check_cursor(images[0], path)
        decoded[name] = images[0]
    pictures = [tuple(map(tuple, i.pixels)) for i in decoded.values()]
    need(len(set(pictures)) == len(pictures), "two cursors are the same picture")
    return decoded


def check_up_to_date(committed):
    made = make_resources.build()
    need(made == make_resources.build(), "making the files twice gives different bytes")
    need(set(made) == set(committed), "the made and committed file sets differ")
    stale = [path for path in made if made[path] != committed[path]]
    need(not stale, f"stale (run make_resources.py): {', '.join(stale)}")


RC_EXPECTED = {
    ("MAINICON", "ICON"): "icons/main_0.ico",
    ("SCREENSHOT", "CURSOR"): "cursors/screenshot.cur",
    ("MEASURER", "CURSOR"): "cursors/measurer.cur",
    ("DROPPER", "CURSOR"): "cursors/dropper.cur",
    ("XTIMAIN", "RCDATA"): "icons/main.xti",
    ("XTIMAGNIFIER", "RCDATA"): "icons/magnifier.xti",
    ("XTISCREENSHOT", "RCDATA"): "icons/screenshot.xti",
    ("XTIMEASURER", "RCDATA"): "icons/measurer.xti",
    ("XTIDROPPER", "RCDATA"): "icons/dropper.xti",
    ("1", "24"): "tarnwick.manifest",
}


def check_rc(text):
    found = {}
    for name, kind, path in re.findall(r'^[ \t]*(\w+)[ \t]+(\w+)[ \t]+"([^"]+)"[ \t]*$',
                                        text, re.M):
        need((name, kind) not in found, f"tarnwick.rc: {name} {kind} twice")
        found[(name, kind)] = path
        need(os.path.isfile(os.path.join(HERE, path)), f"tarnwick.rc: {path} does not exist")
    need(found == RC_EXPECTED, f"tarnwick.rc: resources {found}, expected {RC_EXPECTED}")
    # The version numbers come from CMake's project() through the generated
    # header; the script must take them from there, not spell its own.
    need('#include "tarnwick_version.h"' in text, "tarnwick.rc: does not include tarnwick_version.h")
    for value in ('"FileVersion", TARNWICK_FILE_VERSION_TEXT', '"ProductVersion", TARNWICK_VERSION_TEXT',
                  '"CompanyName", "Velmora"',
                  '"ProductName", "Tarnwick"', '"FileDescription", "Tarnwick screen tools"',
                  '"InternalName", "Tarnwick.exe"', '"OriginalFilename", "Tarnwick.exe"'):
        need(value in text, f"tarnwick.rc: no VALUE {value}")
    for key in ("FILEVERSION", "PRODUCTVERSION"):
        need(re.search(key + r"\s+TARNWICK_VERSION_MAJOR,\s*TARNWICK_VERSION_MINOR,\s*0,\s*0", text),
             f"tarnwick.rc: {key} is not the project's version")


def check_manifest(text):
    root = ET.fromstring(text)
    ids = [e.attrib for e in root.iter("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity")]
    need(any(a.get("name") == "Microsoft.Windows.Common-Controls" and a.get("version") == "6.0.0.0"
             and a.get("publicKeyToken") == "6595b64144ccf1df" for a in ids),
         "manifest: no Common-Controls 6.0.0.0 dependency")
    def texts(tag):
        return [e.text.strip() for e in root.iter() if e.tag.endswith("}" + tag) and e.text]
    need(texts("dpiAware") == ["true/pm"], "manifest: dpiAware is not true/pm")
    need(texts("dpiAwareness") == ["PerMonitorV2,PerMonitor"], "manifest: dpiAwareness")
    levels = [e.attrib.get("level") for e in root.iter() if e.tag.endswith("}requestedExecutionLevel")]
    need(levels == ["asInvoker"], "manifest: execution level is not asInvoker")
    os_ids = {e.attrib.get("Id", "").lower() for e in root.iter() if e.tag.endswith("}supportedOS")}
    need(os_ids == {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
         "manifest: supportedOS is not Windows 7, 8, 8.1, 10/11")


def check_all(files):
    icons = check_icons(files)
    cursors = check_cursors(files)
    return icons, cursors


def self_test(files):
    """The checks above must catch broken files; each corruption must fail."""
    def patched(path, change):
        copy = dict(files)
        copy[path] = change(bytearray(files[path]))
        return copy

    def set_at(offset, value):
        def change(data):
            data[offset] = value
            return bytes(data)
        return change

    tool_ico = "icons/magnifier_0.ico"
    # First XOR byte of the top row's pixels of a 16x16 4-bit image.
    top_row_xor = 22 + 40 + 64 + 15 * 8
    cases = {
        "truncated icon": patched(tool_ico, lambda d: bytes(d[:-1])),
        "stray byte after icon": patched(tool_ico, lambda d: bytes(d) + b"\0"),
        "cursor hot spot (1, 0)": patched("cursors/dropper.cur", set_at(10, 1)),
        "tinted transparent pixel": patched(tool_ico, set_at(top_row_xor, 0xF0)),
        "list count 2": patched("icons/main.xti", set_at(0, 2)),
        "list entry swapped": dict(files, **{"icons/dropper.xti": files["icons/measurer.xti"]}),
        "red background lost": patched("icons/screenshot_1.ico", set_at(top_row_xor, 0x00)),
    }
    for what, broken in cases.items():
        try:
            check_all(broken)
        except Fault:
            continue
        raise Fault(f"self-test: the checks accept a file with a {what}")


# --- Contact sheet -------------------------------------------------------------

def write_png(path, width, height, rgb_rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(row) for row in rgb_rows)
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def render_sheet(path, icons, cursors):
    margin, gap, scale = 16, 16, 8
    placements = []  # (image, left, top, scale, background or None for checkerboard)
    y = margin
    dark, light = (32, 32, 32), (243, 243, 243)
    def in_trays(states, x, y):
        for background in (dark, light):
            for small in (1, 2):
                for n, state in enumerate(states):
                    placements.append((state, x + n * (16 * small + 4), y, small, background))
                x += 3 * (16 * small + 4) + gap

    for name in TOOLS:
        x = margin
        for state in icons[name]:
            placements.append((state[0], x, y, scale, None))
            x += 16 * scale + gap
        in_trays([state[0] for state in icons[name]], x, y)
        y += 16 * scale + gap
    for size in (1, 0):  # 32x32 first, then 16x16
        x = margin
        for state in icons["main"]:
            placements.append((state[size], x, y, scale, None))
            x += (16 << size) * scale + gap
        if size == 0:
            in_trays([state[0] for state in icons["main"]], x, y)
        y += (16 << size) * scale + gap
    x = margin
    for name in CURSORS:
        placements.append((cursors[name], x, y, scale, None))
        x += 32 * scale + gap
    y += 32 * scale
    width = margin * 2 + 3 * 32 * scale + 2 * gap
    height = y + margin
    canvas = [bytearray(b"\xff\xff\xff" * width) for _ in range(height)]
    for image, left, top, s, background in placements:
        for py in range(image.height * s):
            row = canvas[top + py]
            for px in range(image.width * s):
                colour = image.pixels[py // s][px // s]
                if colour is None:
                    if background is None:
                        checker = (px // 4 + py // 4) % 2
                        colour = (255, 214, 232) if checker else (210, 226, 255)
                    else:
                        colour = background
                elif colour == "invert":
                    colour = (255, 0, 255)
                at = 3 * (left + px)
                row[at:at + 3] = bytes(colour)
    write_png(path, width, height, canvas)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sheet", help="write a contact sheet PNG here")
    args = parser.parse_args(argv)
    try:
        committed = {path: read(path) for path in make_resources.build()}
        icons, cursors = check_all(committed)
        self_test(committed)
        check_up_to_date(committed)
        with open(os.path.join(HERE, "tarnwick.rc"), encoding="utf-8") as f:
            check_rc(f.read())
        with open(os.path.join(HERE, "tarnwick.manifest"), encoding="utf-8") as f:
            check_manifest(f.read())
        if args.sheet:
            render_sheet(args.sheet, icons, cursors)
    except (Fault, make_resources.PictureError, OSError, ET.ParseError) as error:
        print(f"check_resources: FAILED: {error}", file=sys.stderr)
        return 1
    print(f"check_resources: {len(committed)} files, tarnwick.rc and the manifest are fine")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
