"""The run report colours each ball's path by its speed: a ball starts at
rest, so every path begins in the slowest colour, the paths of a whole demo
use several colours, and a new line starts only where the colour changes."""

import os
import subprocess
import tempfile
import shutil
import xml.etree.ElementTree as ElementTree

from harness import check, run

SVG = "{http://www.w3.org/2000/svg}"
# Slowest first, as the report's legend shows them.
SPEED_COLOURS = ["#2b59c3", "#1b9e9e", "#5fb336", "#f0a020", "#d7301f"]


def test(args, xvfb):
    workdir = tempfile.mkdtemp(prefix="tumbalon-e2e-")
    try:
        page = os.path.join(workdir, "report.html")
        r = subprocess.run([os.path.abspath(args.sim), "demo2.tumbalon", "--seconds", "12", "--report", page],
                           cwd=args.data, capture_output=True, text=True, timeout=240)
        check(r.returncode == 0, "tumbalon-sim failed: %s" % r.stderr[-500:])
        root = ElementTree.parse(page).getroot()
        groups = [g for g in root.iter(SVG + "g") if g.get("class") == "path"]
        check(len(groups) == 11, "%d ball paths drawn, expected 11" % len(groups))
        used = set()
        for number, group in enumerate(groups):
            strokes = [line.get("stroke") for line in group.iter(SVG + "polyline")]
            check(strokes and all(s in SPEED_COLOURS for s in strokes), "path %d: colours %r" % (number, strokes))
            check(strokes[0] == SPEED_COLOURS[0], "path %d starts in %s, not the slowest colour" % (number, strokes[0]))
            classes = [SPEED_COLOURS.index(s) for s in strokes]
            check(all(a != b for a, b in zip(classes, classes[1:])), "path %d: one colour split in two" % number)
            used.update(strokes)
        check(len(used) >= 3, "the paths use only %r" % sorted(used))
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    run(test)
