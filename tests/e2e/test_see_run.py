"""Seeing a run as a new user does, in the real window: F8 frames the whole
construction, the balls of demo4 stay in sight however track hides them, a
-geometry size is the window's size, and holding b rewinds fast. The
screenshots are kept under the build folder's test-output/."""

import os
import time

from harness import Program, check, run

PALETTE = 100  # the palette strip covers the bottom of the window while building


def is_klotz(p):
    # The klotz orange however it is lit, and its dark outlines.
    r, g, b = p
    return r > g + 15 and g > b + 15


def is_ball(p):
    # The ball texture's blue and green tiles, lit or dimmed behind track;
    # nothing else in the scene has them.
    r, g, b = p
    return (b > 110 and r < 100 and b - g > 50) or (g > 80 and r < 70 and g - r > 40 and g - b > 30)


def check_framed(shot, name):
    """The whole construction in the main view (above the palette strip),
    none of it cut off at the edges, filling a fair part of it."""
    w, h = shot.width, shot.height - PALETTE
    edge = [shot.pixel(x, 0) for x in range(w)] + [shot.pixel(x, h - 1) for x in range(w)]
    edge += [shot.pixel(0, y) for y in range(h)] + [shot.pixel(w - 1, y) for y in range(h)]
    touching = sum(1 for p in edge if is_klotz(p))
    check(touching == 0, "%s: %d klotz pixels touch the edges of the main view" % (name, touching))
    filled = shot.count(is_klotz, 0, 0, w, h)
    check(filled > w * h // 6, "%s: the construction fills only %d of %d pixels" % (name, filled, w * h))
    return filled


def differing(a, b):
    return sum(1 for i in range(0, min(len(a.data), len(b.data)), 3) if a.data[i:i + 3] != b.data[i:i + 3])


def ball_pixels(shot, enough=5):
    """Ball pixels of the main window, counted up to `enough`."""
    n = 0
    data = shot.data
    for i in range(0, len(data) - 2, 3):
        if is_ball((data[i], data[i + 1], data[i + 2])):
            n += 1
            if n >= enough:
                break
    return n


def test(args, xvfb):
    out = os.path.join(os.path.dirname(os.path.abspath(args.program)), "test-output")
    os.makedirs(out, exist_ok=True)

    # A scene named on the command line is framed in the window's own shape.
    prog = Program(args.program, args.data, xvfb.display, args=["-geometry", "1000x740", "demo1.tumbalon"])
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        check(prog.geometry() == (1000, 740), "-geometry 1000x740 gave a %dx%d window" % prog.geometry())
        time.sleep(0.5)
        prog.save_screenshot(os.path.join(out, "see_run_demo1_1000x740.png"))
        check_framed(prog.screenshot(), "demo1 at 1000x740")
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
    finally:
        prog.stop()

    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        check(prog.geometry() == (500, 500), "without -geometry the window is %dx%d" % prog.geometry())

        # Framing: the whole construction in the main view, none of it cut
        # off at the view's edges.
        prog.key("F8")
        time.sleep(0.5)
        prog.save_screenshot(os.path.join(out, "see_run_demo4_framed.png"))
        framed = check_framed(prog.screenshot(), "demo4")
        # The camera keys work from there, and Home frames it again.
        prog.key(*(["q"] * 8), "a", "a", delay=0.05)
        time.sleep(0.3)
        moved = prog.screenshot().count(is_klotz, 0, 0, 500, 400)
        check(abs(moved - framed) > framed // 10, "q and a did not move the camera")
        prog.key("Home")
        time.sleep(0.3)
        again = check_framed(prog.screenshot(), "demo4 after Home")
        check(abs(again - framed) < framed // 50, "Home framed %d klotz pixels, F8 %d" % (again, framed))

        # The balls stay in sight over the first 12 s of the run (6 s of
        # real time at the normal pace of twice real time).
        prog.key("l")
        start = time.time()
        n = 0
        last = 0.0
        while time.time() - start < 6.0:
            shot = prog.screenshot()
            last = time.time() - start
            seen = ball_pixels(shot)
            if n % 3 == 0:
                prog.save_screenshot(os.path.join(out, "see_run_demo4_%d.png" % n))
            check(seen >= 5, "no ball in sight %.1f s into the run (%d ball pixels)" % (last, seen))
            n += 1
        check(n >= 3 and last > 4.5, "only %d screenshots, the last %.1f s into the run" % (n, last))

        # shift+b goes back to the start of the run at once, pausing it.
        prog.key("shift+b")
        time.sleep(0.5)
        begin = prog.screenshot()
        prog.save_screenshot(os.path.join(out, "see_run_demo4_start.png"))

        # Played on from there and paused at about t = 10 s, holding b for
        # two seconds goes back to the start: the same picture.
        prog.key("p")
        time.sleep(5.0)
        prog.key("p")
        time.sleep(0.3)
        before_hold = prog.screenshot()
        check(differing(before_hold, begin) > 50, "the run did not go on from its start")
        prog.focus()
        prog.xdotool("keydown", "b")
        time.sleep(2.0)
        prog.xdotool("keyup", "b")
        time.sleep(0.5)
        held = prog.screenshot()
        prog.save_screenshot(os.path.join(out, "see_run_demo4_rewound.png"))
        differ = differing(held, begin)
        check(differ == 0, "holding b for 2 s from t = 10 s did not reach the start (%d pixels differ)" % differ)

        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
