"""F12 saves the main view as tumbalon-NNN.png in the working folder: a
PNG of the window's size showing the background and the kloetze of a demo;
a second press takes the next free number and leaves the first file alone."""

import os
import struct
import time
import zlib

from harness import Program, check, run

BACKGROUND = (77, 102, 128)


def read_png(path):
    """(width, height, rows of RGB tuples) of an 8-bit RGB PNG without interlace."""
    with open(path, "rb") as f:
        data = f.read()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", path + " is no PNG file")
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            check(depth == 8 and colour == 2, "not 8-bit RGB")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, prev = [], bytearray(stride)
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * 3:x * 3 + 3]) for x in range(width)])
        prev = line
    return width, height, rows


def test(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        prog.key("F5")
        time.sleep(1.5)
        prog.key("F12")
        prog.wait_output("screenshot saved: tumbalon-000.png")
        first = os.path.join(prog.workdir, "tumbalon-000.png")
        before = open(first, "rb").read()
        width, height, rows = read_png(first)
        gw, gh = prog.geometry()[:2]
        check((width, height) == (gw, gh), "picture %dx%d, window %dx%d" % (width, height, gw, gh))
        pixels = [p for row in rows[::4] for p in row[::4]]
        sky = sum(1 for p in pixels if all(abs(a - b) <= 3 for a, b in zip(p, BACKGROUND)))
        brown = sum(1 for p in pixels if p[0] > 60 and p[0] > p[1] + 20 and p[1] > p[2] + 15)
        check(sky > len(pixels) // 20, "no background in the screenshot (%d of %d)" % (sky, len(pixels)))
        check(brown > len(pixels) // 50, "no kloetze in the screenshot (%d of %d)" % (brown, len(pixels)))

        prog.key("F12")
        prog.wait_output("screenshot saved: tumbalon-001.png")
        check(open(first, "rb").read() == before, "the first screenshot was overwritten")
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
