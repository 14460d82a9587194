"""The run that never ends, in the real window: the gallery's perpetual
lift loaded from the command line, started with L, and seen at two moments
five seconds apart (kept under the build folder's test-output/). Both show
the run, and they differ: balls ride the lift and roll down the lanes, and
the lift's platform is drawn where it has gone."""

import os
import time
from harness import Program, check, near, run

BACKGROUND = (77, 102, 128)
MAIN_HEIGHT = 400  # the palette strip covers the bottom 100 pixels


def sampled(img):
    return [img.pixel(x, y) for y in range(0, MAIN_HEIGHT, 2) for x in range(0, img.width, 2)]


def test(args, xvfb):
    out = os.path.join(os.path.dirname(os.path.abspath(args.program)), "test-output")
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(args.data, "gallery", "perpetual_lift.tumbalon")) as f:
        scene = f.read()
    prog = Program(args.program, args.data, xvfb.display, extra_files={"perpetual_lift.tumbalon": scene},
                   args=["perpetual_lift.tumbalon"])
    try:
        prog.wait_output("entering glut main loop")
        prog.wait_output("load done")
        prog.find_window()
        prog.key("l")
        shots = []
        for n, wait in enumerate([3.0, 5.0], start=1):
            time.sleep(wait)
            prog.save_screenshot(os.path.join(out, "perpetual%d.png" % n))
            shots.append(sampled(prog.screenshot()))
        for n, pixels in enumerate(shots, start=1):
            scene_pixels = [p for p in pixels if not near(p, BACKGROUND, 6)]
            check(len(scene_pixels) > len(pixels) // 5, "moment %d shows only %d of %d sampled pixels of the run"
                  % (n, len(scene_pixels), len(pixels)))
        changed = sum(1 for a, b in zip(shots[0], shots[1]) if not near(a, b, 12))
        check(changed > 30, "the two moments differ in only %d sampled pixels: nothing moves" % changed)
        check("WARNING" not in prog.output(), "warnings on the console:\n" + prog.output())
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
