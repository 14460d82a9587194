"""Each demo run as a newcomer first sees it: F5 to F8 load the runs, L starts
them, and a screenshot a second and a half in is kept under the build folder's
test-output/ for people to look at. The pixel rule: the run fills a good
part of the view."""

import os
import time
from harness import Program, check, near, run

BACKGROUND = (77, 102, 128)
MAIN_HEIGHT = 400  # the palette strip covers the bottom 100 pixels


def test(args, xvfb):
    out = os.path.join(os.path.dirname(os.path.abspath(args.program)), "test-output")
    os.makedirs(out, exist_ok=True)
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        messages = ["jollyride", "twotowers", "tarlo1", "quib7"]
        for n, key in enumerate(["F5", "F6", "F7", "F8"], start=1):
            start = len(prog.output())
            prog.key(key)
            prog.wait_output("tried loading %s.tumbalon" % messages[n - 1], start=start)
            prog.key("l")
            time.sleep(1.5)
            prog.save_screenshot(os.path.join(out, "demo%d.png" % n))
            img = prog.screenshot()
            prog.key("l")
            time.sleep(0.3)

            pixels = [img.pixel(x, y) for y in range(0, MAIN_HEIGHT, 2) for x in range(0, img.width, 2)]
            scene = [p for p in pixels if not near(p, BACKGROUND, 6)]
            check(len(scene) > len(pixels) // 5, "demo%d fills only %d of %d sampled pixels"
                  % (n, len(scene), len(pixels)))
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
