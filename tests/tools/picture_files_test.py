#!/usr/bin/env python3
"""PNG pictures of calsvar's writer, read back by readers that Debian ships.

  picture_files_test.py PICTURE_PROBE SAMPLES_DIR WORK_DIR

- Pages of known pels through the PNG writer (one bit and eight bits of
  grey, odd sizes, a page that needs several data chunks), read with a PNG
  reader written here on Python's zlib (every chunk's CRC checked, every
  row filter undone) and, where installed, with python3-png.
- The bundled samples rendered at full size against ImageMagick's decode of
  the same files (libtiff's Group 4 decoder), pel for pel; scaled to a width
  against ImageMagick's -scale (area averaging), within one grey level.
Prints one line per check and "N passed, M failed"; exit 1 when a check
failed. ImageMagick or python3-png missing skips only their checks.
"""
import os
import shutil
import struct
import subprocess
import sys
import zlib

probe, samples, work = sys.argv[1:4]
os.makedirs(work, exist_ok=True)
results = {"passed": 0, "failed": 0}


def check(name, ok, detail=""):
    results["passed" if ok else "failed"] += 1
    print(("ok   " if ok else "FAIL ") + name + ("" if ok else ": " + detail))


def read_png(path):
    """(width, height, depth, rows of grey levels 0..255, data chunk count)."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature"
    at, chunks, idat = 8, [], b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        assert zlib.crc32(kind + body) == crc, "CRC of %s" % kind
        chunks.append(kind)
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert colour == 0 and interlace == 0
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    assert chunks[0] == b"IHDR" and chunks[-1] == b"IEND", chunks
    raw = zlib.decompress(idat)
    stride = (width * depth + 7) // 8
    assert len(raw) == height * (stride + 1), "data size"
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 1] if i else 0
            up, corner = previous[i], previous[i - 1] if i else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        previous = line
        if depth == 8:
            rows.append(list(line))
        else:
            rows.append([255 * ((line[x // 8] >> (7 - x % 8)) & 1) for x in range(width)])
    return width, height, depth, rows, chunks.count(b"IDAT")


def expected_pel(kind, x, y):
    if kind == "grey":
        return (((x * 2654435761) ^ (y * 40503)) & 0xFFFFFFFF) >> 13 & 255
    return 255 if (x * 3 + y * 5) % 7 >= 3 else 0


try:
    import png as pypng
except ImportError:
    pypng = None
    print("skip python3-png checks: python3-png is not installed")

for kind, width, height in [("grey", 1, 1), ("grey", 7, 3), ("grey", 1000, 300), ("bilevel", 1, 1),
                            ("bilevel", 9, 5), ("bilevel", 333, 17)]:
    path = os.path.join(work, "%s-%dx%d.png" % (kind, width, height))
    subprocess.run([probe, "pattern", path, str(width), str(height), kind], check=True)
    want = [[expected_pel(kind, x, y) for x in range(width)] for y in range(height)]
    name = "round trip %s %dx%d" % (kind, width, height)
    try:
        w, h, depth, rows, data_chunks = read_png(path)
        check(name, (w, h, depth, rows) == (width, height, 8 if kind == "grey" else 1, want), "pels differ")
        if width * height > 100000:
            check(name + " in several data chunks", data_chunks > 1, "%d data chunk" % data_chunks)
    except AssertionError as error:
        check(name, False, str(error))
    if pypng:
        w, h, rows, info = pypng.Reader(filename=path).asDirect()
        scale = 255 if info["bitdepth"] == 1 else 1
        check(name + " (python3-png)", [[v * scale for v in row] for row in rows] == want, "pels differ")

convert = shutil.which("convert")
if not convert:
    print("skip ImageMagick checks: convert is not installed")
for name in ["drawing-a4.cal", "blank-page.cal", "unusual-records.cal", "archive/SCAN-0042.CG4"]:
    sample = os.path.join(samples, name)
    for width in [0, 200, 333]:
        out = os.path.join(work, name.replace("/", "-") + "-%d.png" % width)
        run = subprocess.run([probe, "render", sample, out, str(width)], capture_output=True, text=True)
        what = "%s %s" % (name, "full size" if width == 0 else "scaled to %d" % width)
        if run.returncode != 0:
            check(what + " renders", False, run.stdout + run.stderr)
            continue
        w, h, depth, rows, _ = read_png(out)
        if not convert:
            continue
        command = [convert, sample] + (["-scale", "%dx" % width] if width else []) + ["-depth", "8", "gray:-"]
        theirs = subprocess.run(command, capture_output=True, check=True).stdout
        ours = bytes(v for row in rows for v in row)
        if len(theirs) != len(ours):
            check(what + " against ImageMagick", False, "%d bytes, ImageMagick %d" % (len(ours), len(theirs)))
            continue
        worst = max(abs(a - b) for a, b in zip(ours, theirs))
        check(what + " against ImageMagick", worst <= (0 if width == 0 else 1), "differs by up to %d" % worst)

print("%d passed, %d failed" % (results["passed"], results["failed"]))
sys.exit(1 if results["failed"] else 0)
