"""A user builds with the mouse: a click on an empty cell moves the
selection there, a click in the palette chooses the curve, turning the
ghost with k and a shift-click place it on the cell pointed at, ctrl+z takes
it away again; F1 shows the help over the scene and esc closes only the
help. The saved file is the read-back; a screenshot of the ghost and the
status line is kept in test-output/."""

import math
import os
import time

from harness import Program, check, run

START = "entering glut main loop\n\n"
CURVE = 2  # its place in the shipped catalogue (the third palette entry)


def normalise(v):
    n = math.sqrt(sum(c * c for c in v))
    return [c / n for c in v]


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def pixel_of(row, column, level, width, height):
    """Where the start camera shows the middle of a cell's top: eye
    (400, 250, -250) looking along (0.2, -0.6, -0.5), 60 degrees high."""
    eye = [400.0, 250.0, -250.0]
    forward = normalise([0.2, -0.6, -0.5])
    side = normalise(cross(forward, [0.0, 1.0, 0.0]))
    up = cross(side, forward)
    p = [row * 50 + 25 - eye[0], level * 50 - eye[1], -(column * 50 + 25) - eye[2]]
    depth = sum(a * b for a, b in zip(p, forward))
    t = math.tan(math.radians(30))
    nx = sum(a * b for a, b in zip(p, side)) / (depth * t * width / height)
    ny = sum(a * b for a, b in zip(p, up)) / (depth * t)
    return int((nx + 1) * 0.5 * width), int((1 - ny) * 0.5 * height)


def sections(prog, name):
    with open(os.path.join(prog.workdir, name)) as f:
        return f.read().split("\n")


def save(prog, first=False):
    mark = len(prog.output())
    prog.key("ctrl+s")
    if first:
        prog.wait_output("save to (filename): ", start=mark, timeout=10)
        prog.type_console("built.tumbalon\n")
    prog.wait_output("save done\n", start=mark)
    return sections(prog, "built.tumbalon")


def dark_pixels(shot, x0, y0, x1, y1):
    return shot.count(lambda p: max(p) < 64, x0, y0, x1, y1)


def test(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output(START)
        prog.find_window()
        time.sleep(0.5)
        width, height = prog.geometry()

        # A click on the empty cell (8, 9) selects it; ENTER puts the cube there.
        prog.click(*pixel_of(8, 9, 0, width, height))
        prog.key("Return")
        saved = save(prog, first=True)
        check(saved[5].split() == ["8", "9"], "selection after the click: %r" % saved[5])
        check(saved[3].split() == ["1", "0"], "klotz types after ENTER: %r" % saved[3])

        # The palette's curve, turned once with k, placed by a shift-click on (11, 10).
        prog.click(CURVE * 100 + 50, height - 50)
        target = pixel_of(11, 10, 0, width, height)
        prog.xdotool("mousemove", "--window", prog.window, *target)
        time.sleep(0.2)
        prog.key("k")
        prog.xdotool("mousemove", "--window", prog.window, target[0] + 1, target[1])
        time.sleep(0.5)
        out = os.path.join(os.path.dirname(os.path.abspath(args.program)), "test-output")
        os.makedirs(out, exist_ok=True)
        prog.save_screenshot(os.path.join(out, "pointing_ghost_status.png"))
        # The status line over the palette strip: a dark band the width of the window.
        shot = prog.screenshot()
        band = dark_pixels(shot, 0, height - 125, width, height - 100)
        check(band > width * 25 // 2, "no status line above the palette (%d dark pixels)" % band)

        prog.xdotool("keydown", "shift")
        prog.xdotool("click", 1)
        prog.xdotool("keyup", "shift")
        time.sleep(0.3)
        placed = save(prog)
        check(placed[3].split() == ["2", "0", str(CURVE)], "klotz types after the placing click: %r" % placed[3])
        check(placed[5].split() == ["11", "10"], "selection after the placing click: %r" % placed[5])
        # Turned a quarter about the vertical: its x axis along -z.
        poses = [float(v) for v in placed[4].split()]
        check(abs(poses[16 + 2] + 1.0) < 1e-6 and abs(poses[16 + 0]) < 1e-6, "curve not turned: %r" % poses[16:19])

        prog.key("ctrl+z")
        undone = save(prog)
        check(undone[3].split() == ["1", "0"], "ctrl+z left %r" % undone[3])

        # F1: the help over the scene; esc closes only the help.
        middle = (width // 4, height // 4, 3 * width // 4, height // 2)
        before = dark_pixels(prog.screenshot(), *middle)
        prog.key("F1")
        time.sleep(0.4)
        shown = dark_pixels(prog.screenshot(), *middle)
        check(shown > before + (middle[2] - middle[0]) * (middle[3] - middle[1]) // 3,
              "no help overlay (%d dark pixels, %d before)" % (shown, before))
        check("ENTER:\t\t insert klotz" in prog.output(), "F1 no longer prints the help")
        prog.key("Escape")
        time.sleep(0.4)
        check(prog.proc.poll() is None, "esc over the help ended the program")
        gone = dark_pixels(prog.screenshot(), *middle)
        check(gone < before + 200, "help still shown after esc (%d dark pixels)" % gone)
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status")
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
