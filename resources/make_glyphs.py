#!/usr/bin/env python3
"""Turns the text art in resources/glyphs into the .bmp and .ico files the resource script names.

Usage: make_glyphs.py OUTPUT_DIR ART_FILE...

ART_FILE is named after the file it makes plus ".txt" (floppy.bmp.txt makes floppy.bmp).
Its lines:
    # a comment
    bits 4                        4 (16 colours) or 8 (256 colours)
    colour . 0000ff background    one character, RRGGBB or "none", a description
    image                         the rows that follow, top row first, up to a blank line
A bitmap has one image; its first colour is the transparent background and must be the
bottom-left pixel, the one the program takes as its transparent colour. An icon has one
image per size; "none" marks its see-through pixels. Each image is also stored at one and a
half and twice its size (unless the art has that size), each art pixel a block of whole
pixels, for denser screens.
Only the standard library is used, so the build needs nothing beyond python3.
"""

import pathlib
import struct
import sys


class ArtError(Exception):
    pass


class Art:
    def __init__(self, path):
        self.path = path
        self.bits = None
        self.colours = {}  # character -> (r, g, b) or None for see-through
        self.images = []
        self._read(path.read_text(encoding="ascii").splitlines())

    def _read(self, lines):
        rows = None
        for number, line in enumerate(lines, 1):
            if rows is not None:
                if line.strip():
                    rows.append((number, line.rstrip()))
                    continue
                self._add_image(rows)
                rows = None
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if words[0] == "bits" and len(words) == 2 and words[1] in ("4", "8"):
                self.bits = int(words[1])
            elif words[0] == "colour" and len(words) >= 3 and len(words[1]) == 1:
                self.colours[words[1]] = parse_colour(words[2], self.where(number))
            elif words == ["image"]:
                rows = []
            else:
                raise ArtError(f"{self.where(number)}: cannot read {line.strip()!r}")
        if rows is not None:
            self._add_image(rows)
        if self.bits is None or not self.images:
            raise ArtError(f"{self.path}: needs a 'bits' line and at least one image")
        if len(self.palette()) > 1 << self.bits:
            raise ArtError(f"{self.path}: more colours than {self.bits} bits can hold")

    def _add_image(self, numbered_rows):
        width = len(numbered_rows[0][1]) if numbered_rows else 0
        for number, row in numbered_rows:
            if len(row) != width:
                raise ArtError(f"{self.where(number)}: row is {len(row)} wide, not {width}")
            unknown = set(row) - self.colours.keys()
            if unknown:
                raise ArtError(f"{self.where(number)}: no colour for {''.join(sorted(unknown))}")
        if not 0 < width <= 256 or len(numbered_rows) > 256:
            raise ArtError(f"{self.path}: image size out of range")
        self.images.append([row for _, row in numbered_rows])

    def where(self, number):
        return f"{self.path}:{number}"

    def palette(self):
        """The distinct colours in legend order; see-through pixels use black."""
        palette = []
        for colour in self.colours.values():
            colour = colour or (0, 0, 0)
            if colour not in palette:
                palette.append(colour)
        return palette

    def indices(self, image):
        palette = self.palette()
        index = {char: palette.index(colour or (0, 0, 0)) for char, colour in self.colours.items()}
        return [[index[char] for char in row] for row in image]


def parse_colour(text, where):
    if text == "none":
        return None
    if len(text) != 6:
        raise ArtError(f"{where}: colour {text!r} is not RRGGBB")
    try:
        value = int(text, 16)
    except ValueError:
        raise ArtError(f"{where}: colour {text!r} is not RRGGBB") from None
    return (value >> 16, (value >> 8) & 0xFF, value & 0xFF)


def packed_rows(rows, bits):
    """Bottom-up rows of bits-per-pixel values, each padded to a multiple of four bytes."""
    packed = bytearray()
    for row in reversed(rows):
        value, used = 0, 0
        line = bytearray()
        for pixel in row:
            value = (value << bits) | pixel
            used += bits
            if used == 8:
                line.append(value)
                value, used = 0, 0
        if used:
            line.append(value << (8 - used))
        line.extend(bytes(-len(line) % 4))
        packed += line
    return bytes(packed)


def dib(art, image, height_factor=1, extra=b""):
    """BITMAPINFOHEADER, the full palette, then the pixels (and, for icons, the mask)."""
    pixels = packed_rows(art.indices(image), art.bits) + extra
    palette = art.palette() + [(0, 0, 0)] * ((1 << art.bits) - len(art.palette()))
    header = struct.pack("<IiiHHIIiiII", 40, len(image[0]), len(image) * height_factor, 1,
                         art.bits, 0, len(pixels), 0, 0, 0, 0)
    return header + b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in palette) + pixels


def bitmap_file(art):
    if len(art.images) != 1:
        raise ArtError(f"{art.path}: a bitmap holds exactly one image")
    image = art.images[0]
    if None in art.colours.values():
        raise ArtError(f"{art.path}: a bitmap has no see-through colour, only its background")
    background = next(iter(art.colours))
    if image[-1][0] != background:
        raise ArtError(f"{art.path}: the bottom-left pixel must be the background {background!r}")
    body = dib(art, image)
    offset = 14 + 40 + 4 * (1 << art.bits)
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body


def enlarged(image, factor):
    """Nearest-neighbour scaling: every pixel of the result takes the art pixel it lies on."""
    height, width = len(image), len(image[0])
    return ["".join(image[y * 2 // factor][x * 2 // factor] for x in range(width * factor // 2))
            for y in range(height * factor // 2)]


def icon_file(art):
    see_through = {char for char, colour in art.colours.items() if colour is None}
    sizes = list(art.images)
    for image in art.images:
        for factor in (3, 4):
            if all(len(other) != len(image) * factor // 2 for other in sizes):
                sizes.append(enlarged(image, factor))
    images = []
    for image in sizes:
        mask = [[1 if char in see_through else 0 for char in row] for row in image]
        images.append(dib(art, image, 2, packed_rows(mask, 1)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for image, data in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", len(image[0]) % 256, len(image) % 256,
                                 (1 << art.bits) % 256, 0, 1, art.bits, len(data), offset)
        offset += len(data)
    return directory + b"".join(images)


WRITERS = {".bmp": bitmap_file, ".ico": icon_file}


def main(arguments):
    if len(arguments) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    output_dir = pathlib.Path(arguments[0])
    output_dir.mkdir(parents=True, exist_ok=True)
    try:
        for name in arguments[1:]:
            path = pathlib.Path(name)
            target = pathlib.Path(path.stem)
            if path.suffix != ".txt" or target.suffix not in WRITERS:
                raise ArtError(f"{path}: name it <name>.bmp.txt or <name>.ico.txt")
            contents = WRITERS[target.suffix](Art(path))
            (output_dir / target).write_bytes(contents)
    except ArtError as error:
        print(f"make_glyphs: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
