"""A builder runs a scene headless with --report and opens the page in a
browser (headless Chromium): the grid, the balls' paths and the table are
drawn, and the page is well-formed XHTML with its SVG."""

import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

from harness import Failure, Image, check, parse_args

# Catalogue indices of tumbalon_all.cfg.
STRAIGHT, STOP, START, GOAL = 1, 8, 9, 15


def scene_text(pieces, balls):
    """pieces: (row, column, type) on level 0, unturned; balls: (row, column)."""
    cell_ball = ["-1"] * 400
    for i, (row, column) in enumerate(balls):
        cell_ball[row * 20 + column] = str(i)
    stacks = [[] for _ in range(400)]
    poses = []
    for i, (row, column, _) in enumerate(pieces):
        stacks[row * 20 + column].append(i)
        poses += [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, row * 50 + 25, 25, -25 - column * 50, 1]
    lines = [" ".join(cell_ball),
             " ".join(str(v) for v in [len(balls)] + [c for b in balls for c in b]),
             " ".join(" ".join(str(v) for v in [len(s)] + s) for s in stacks),
             " ".join(str(v) for v in [len(pieces)] + [p[2] for p in pieces]),
             " ".join("%.13e" % v for v in poses),
             "10 10"]
    return " \n".join(lines) + " "


# Ball 0 rolls off the end of its lane, ball 1 comes home.
SCENE = scene_text([(2, 2, START), (3, 2, STRAIGHT), (4, 2, STRAIGHT),
                    (2, 6, START), (3, 6, STRAIGHT), (4, 6, GOAL)],
                   [(2, 2), (2, 6)])

PATH_COLOURS = [(0x2b, 0x59, 0xc3), (0x1b, 0x9e, 0x9e), (0x5f, 0xb3, 0x36), (0xf0, 0xa0, 0x20), (0xd7, 0x30, 0x1f)]


def near(p, target, tolerance=10):
    return all(abs(a - b) <= tolerance for a, b in zip(p, target))


def count(image, predicate, x0, y0, x1, y1):
    # Every other pixel each way: plenty for thick shapes, four times faster.
    return sum(1 for y in range(y0, min(y1, image.height), 2) for x in range(x0, min(x1, image.width), 2)
               if predicate(image.pixel(x, y)))


def screenshot(page, workdir):
    png = os.path.join(workdir, "shot.png")
    subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                    "--user-data-dir=" + os.path.join(workdir, "profile"), "--window-size=1200,1700",
                    "--screenshot=" + png, "file://" + page],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=True)
    ppm = subprocess.run(["convert", png, "ppm:-"], capture_output=True, timeout=30, check=True).stdout
    return Image(ppm)


def test(args):
    workdir = tempfile.mkdtemp(prefix="tumbalon-report-")
    try:
        for name in os.listdir(args.data):
            if name.endswith((".obj", ".parts", ".cfg")):
                shutil.copy(os.path.join(args.data, name), workdir)
        with open(os.path.join(workdir, "lanes.tumbalon"), "w") as f:
            f.write(SCENE)
        page = os.path.join(workdir, "report.html")
        result = subprocess.run([os.path.abspath(args.sim), "lanes.tumbalon", "--seconds", "8", "--report", page],
                                cwd=workdir, capture_output=True, text=True, timeout=120)
        check(result.returncode == 0, "tumbalon-sim failed: " + result.stderr)
        check("outcome=floor last_on=4,2,0,straight left_track=" in result.stdout, result.stdout)
        check(result.stdout.rstrip().endswith("home=1"), result.stdout)
        check(not [n for n in os.listdir(workdir) if n.startswith("report.html.")], "temporary file left behind")

        try:
            root = ElementTree.parse(page).getroot()
        except ElementTree.ParseError as e:
            check(False, "the report is not well-formed: %s" % e)
        svg = "{http://www.w3.org/2000/svg}"
        check(len(root.findall(".//" + svg + "polyline")) >= 4, "paths or speed plots missing")
        text = open(page).read()
        check("<script" not in text and "http://" not in text.replace("http://www.w3.org/", ""),
              "the page must stand alone")
        check("lanes.tumbalon" in text and "units/s" in text, "scene name or units missing")

        image = screenshot(page, workdir)
        # The top view's stacks (sand for one klotz), its paths in the speed
        # colours, and the table's header bar.
        stacks = count(image, lambda p: near(p, (232, 214, 170)), 0, 250, 800, 1050)
        paths = sum(count(image, lambda p, c=c: near(p, c, 20), 0, 250, 800, 1050) for c in PATH_COLOURS)
        header = count(image, lambda p: near(p, (0x1d, 0x4e, 0x5f)), 0, 1000, 1200, 1700)
        check(stacks > 500, "no stacks drawn (%d pixels)" % stacks)
        check(paths > 100, "no paths drawn (%d pixels)" % paths)
        check(header > 1000, "no table drawn (%d pixels)" % header)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    try:
        test(parse_args())
    except Failure as e:
        print("FAILED:", e)
        sys.exit(1)
    print("1 passed, 0 failed")
