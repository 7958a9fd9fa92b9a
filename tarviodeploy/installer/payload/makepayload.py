#!/usr/bin/env python3
"""Writes the generated part of the demo payload into a folder (emptied first): a placeholder at
every program, library and module path the components take from the pack, the toolbar bitmaps,
and the interface pictures as real PNG files of the sizes the main window uses."""

import shutil
import struct
import sys
import zlib
from pathlib import Path

YEARS = range(2013, 2020)
WINDOW = (600, 400)  # the main window's size; backgrounds and the mask cover it
LOGO = 60  # shown scaled to 30 by 30

PLACEHOLDERS = (
    ["Uninstaller_Release.exe", "DrServer_Release.exe", "LicensingServer_Release.exe",
     "TarvioStandalone_Release.exe", "TarvioImageEditor.Cli_x64_Release.exe",
     "TarvioImageEditor.Gui_x64_Release.exe", "Tarvio_Release.dll", "TarvioLib_Release.dll",
     "dependencies/wxmsw310u_vc_tarvio_v141.dll", "dependencies/TarvioOpenExr2-v141-x64-Release.dll",
     "dependencies/Tarviotbb-v141-x64-Release.dll"]
    + [f"TarvioMax_Release-{year}.dll" for year in YEARS]
    + [f"TarvioMaxUtils_Release-{year}.dll" for year in YEARS]
    + [f"maxHairFur/{year}/Tarvio_maxHairFur.dll" for year in YEARS]
)

TOOLBAR = {"TarvioOfficialToolbar_16a.bmp": (16, True), "TarvioOfficialToolbar_16i.bmp": (16, False),
           "TarvioOfficialToolbar_24a.bmp": (24, True), "TarvioOfficialToolbar_24i.bmp": (24, False)}


def png(width, height, pixel, alpha=False):
    """pixel(x, y) -> (r, g, b) or (r, g, b, a), rows from the top."""
    rows = b"".join(b"\0" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def bmp(size, active):
    """A 24-bit bitmap with a checked pattern, rows from the bottom, each padded to four bytes."""
    colour = bytes((255, 147, 39) if active else (110, 110, 110))  # blue, green, red
    ground = bytes((68, 68, 68))
    rows = b""
    for y in range(size):
        line = b"".join(colour if (x + y) % 4 else ground for x in range(size))
        rows += line + b"\0" * (-len(line) % 4)
    header = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows


# One accent per page, so that every background is told apart from the others at a glance.
ACCENTS = [(40, 110, 190), (40, 160, 90), (190, 100, 40), (140, 70, 170), (170, 150, 40)]


def background(page):
    width, height = WINDOW
    accent = ACCENTS[page]

    def pixel(x, y):
        # The page's grey, tinted with the accent towards the left edge and lighter downwards.
        shade = 51 + (y * 24) // height
        weight = 0.35 * (width - x) / width
        return tuple(round(shade + (a - shade) * weight) for a in accent)

    return png(width, height, pixel)


def window_mask():
    # Black pixels are cut away: a window with rounded corners.
    width, height = WINDOW
    radius = 16

    def inside(x, y):
        cx = min(max(x, radius), width - 1 - radius)
        cy = min(max(y, radius), height - 1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2

    return png(width, height, lambda x, y: (255, 255, 255) if inside(x, y) else (0, 0, 0))


def logo():
    centre = (LOGO - 1) / 2

    def pixel(x, y):
        distance = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
        return (39, 147, 255, 255) if distance <= centre else (0, 0, 0, 0)

    return png(LOGO, LOGO, pixel, alpha=True)


def main(out):
    out = Path(out)
    shutil.rmtree(out, ignore_errors=True)
    files = {name: f"Demo payload placeholder for {name}\n".encode() for name in PLACEHOLDERS}
    files.update({f"toolbar/{name}": bmp(*shape) for name, shape in TOOLBAR.items()})
    files.update({f"gui/bg{page}.png": background(page) for page in range(5)})
    files["gui/window-mask.png"] = window_mask()
    files["gui/Logo.png"] = logo()
    for name, content in files.items():
        path = out / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)


if __name__ == "__main__":
    main(sys.argv[1])
