#!/usr/bin/env python3
"""Packs the emblem pictures src/pictures/quellgate-<size>.png into src/win32/resources/quellgate.ico.

Each entry holds its PNG file unchanged, which Windows reads at every size since Vista.
22 px is left out: Windows never asks for it, it is there for Linux icon themes."""
import struct
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SIZES = (16, 24, 32, 48, 64, 128, 256)
OUT = ROOT / "src" / "win32" / "resources" / "quellgate.ico"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def read_emblem(size):
    path = ROOT / "src" / "pictures" / f"quellgate-{size}.png"
    data = path.read_bytes()
    # IHDR comes first: width, height, bit depth, colour type.
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    if data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
        sys.exit(f"{path}: not a PNG file")
    if (width, height) != (size, size) or (depth, colour) != (8, 6):
        sys.exit(f"{path}: must be {size}x{size} 8-bit RGBA, is {width}x{height} depth {depth} colour type {colour}")
    return data


def main():
    images = [read_emblem(size) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = len(out) + 16 * len(images)
    for size, data in zip(SIZES, images):
        # A width or height of 256 is written as 0.
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    OUT.write_bytes(bytes(out))
    print(f"wrote {OUT.relative_to(ROOT)} ({len(out)} bytes)", file=sys.stderr)


if __name__ == "__main__":
    main()
