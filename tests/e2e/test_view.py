"""What the user sees after start-up, checked by pixel rules on screenshots
of the real window: the background, the white grid, the cyan marker over
cell (10, 10), and the palette strip with its previews and numbers; then the
strip after the window was widened."""

import math
import time

from harness import Program, check, near, run

BACKGROUND = (77, 102, 128)  # clear colour (0.3, 0.4, 0.5)


def project(point, width, height):
    """Window pixel of a world point for the start camera (eye (400, 250, -250),
    looking along (0.2, -0.6, -0.5), 60 degrees vertical field of view)."""
    eye = (400.0, 250.0, -250.0)
    d = (0.2, -0.6, -0.5)
    n = math.sqrt(sum(c * c for c in d))
    f = tuple(c / n for c in d)
    up = (0.0, 1.0, 0.0)
    s = (f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2], f[0] * up[1] - f[1] * up[0])
    sn = math.sqrt(sum(c * c for c in s))
    s = tuple(c / sn for c in s)
    u = (s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0])
    rel = tuple(p - e for p, e in zip(point, eye))
    x, y, z = (sum(a * b for a, b in zip(s, rel)), sum(a * b for a, b in zip(u, rel)),
               -sum(a * b for a, b in zip(f, rel)))
    t = 1.0 / math.tan(math.radians(30.0))
    aspect = width / height
    ndc_x, ndc_y = (t / aspect) * x / -z, t * y / -z
    return (ndc_x + 1) * width / 2, (1 - ndc_y) * height / 2


def is_cyan(p):
    return p[1] > 120 and p[2] > 120 and p[0] < p[1] - 40


def is_green(p):
    return p[1] > 120 and p[0] < 80 and p[2] < 80


def is_dark_red(p):
    return p[0] > 50 and p[1] < 40 and p[2] < 40


def is_black(p):
    return max(p) < 40


def check_strip(img, width, previews):
    top = img.height - 100
    for k in range(width // 100 + 1):
        x0, x1 = 100 * k, min(100 * k + 100, width)
        if x0 >= width:
            break
        green = img.count(is_green, x0, top, x1, img.height)
        red = img.count(is_dark_red, x0, top, x1, img.height)
        black = img.count(is_black, x0, top, x1, img.height)
        if k == 0:
            check(green > 300 and red < green // 4, "first preview not green (%d green, %d red)" % (green, red))
        elif k < previews:
            check(red > 300 and green < 20, "preview %d not dark red (%d red, %d green)" % (k, red, green))
        else:
            check(red + green < 20, "a preview beyond the row in column %d" % k)
        if k < previews:
            check(black > 15, "no type number under preview %d" % k)
        else:
            check(black < 5, "a number beyond the row in column %d" % k)


def test(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output("entering glut main loop\n\n")
        prog.find_window()
        time.sleep(1.5)
        img = prog.screenshot()
        check((img.width, img.height) == (500, 500), "screenshot %dx%d" % (img.width, img.height))

        main_h = 400  # the strip covers the bottom 100 pixels
        bg = img.count(lambda p: near(p, BACKGROUND, 3), 0, 0, 500, main_h)
        check(bg > 500 * main_h // 2, "background colour covers only %d pixels" % bg)
        white = img.count(lambda p: min(p) > 200, 0, 0, 500, main_h)
        check(white > 2000, "grid lines: only %d white pixels" % white)

        cyan = [(x, y) for y in range(main_h) for x in range(500) if is_cyan(img.pixel(x, y))]
        check(len(cyan) > 30, "marker: only %d cyan pixels" % len(cyan))
        cx = sum(x for x, _ in cyan) / len(cyan)
        cy = sum(y for _, y in cyan) / len(cyan)
        ex, ey = project((525.0, 16.0, -525.0), 500, 500)
        check(abs(cx - ex) < 20 and abs(cy - ey) < 25,
              "marker at (%.0f, %.0f), cell (10, 10) projects to (%.0f, %.0f)" % (cx, cy, ex, ey))

        check_strip(img, 500, 4)

        prog.resize(800, 500)
        time.sleep(1.0)
        wide = prog.screenshot()
        check(wide.width == 800, "window is %d wide after resizing" % wide.width)
        check_strip(wide, 800, 7)

        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status")
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
