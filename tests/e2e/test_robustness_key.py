"""F9 checks the scene's robustness in the background: the window answers
keys meanwhile (a run starts and stops), and the result comes on the
console as tumbalon-sim prints it, a line per ball. With g, the klotz where
balls stopped is outlined in red."""

import time

from harness import Program, check, run


def test(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        prog.key("F8")
        time.sleep(1.0)
        prog.key("F9")
        prog.wait_output("robustness check of the scene started")
        start = prog.output()
        # The window answers while the check runs: a run starts and stops.
        prog.key("l")
        time.sleep(0.5)
        prog.key("l")
        prog.wait_output("run: ", timeout=30)
        prog.wait_output("of 50 runs brought every ball home", timeout=240)
        lines = prog.output()[len(start):].splitlines()
        check(sum(1 for l in lines if l.startswith("robust_ball=")) == 12,
              "one line per ball of demo4:\n" + "\n".join(lines))
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
    finally:
        prog.stop()

    # A ball that stops on a straight: that straight is the weak spot.
    cells = ["-1"] * 400
    cells[10 * 20 + 10] = "0"
    stacks = ["0"] * 400
    stacks[10 * 20 + 10] = "1 0"
    pose = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 525, 25, -525, 1]
    scene = (" ".join(cells) + " \n1 10 10 \n" + " ".join(stacks) + " \n1 1 \n" +
             " ".join("%.13e" % v for v in pose) + " \n10 10 ")
    prog = Program(args.program, args.data, xvfb.display, extra_files={"stops.tumbalon": scene},
                   args=["stops.tumbalon"])
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        prog.key("F9")
        prog.wait_output("robustness: 0 of 50 runs brought every ball home", timeout=240)
        check("weak_spot=10,10,0,straight failures=50" in prog.output(), prog.output()[-2000:])

        def red(image):
            # The outline's colour (230, 26, 13), unlit, in the scene: above
            # the palette strip, whose previews are red too, and below the
            # status line.
            return sum(1 for y in range(image.height // 10, image.height * 7 // 10, 2)
                       for x in range(0, image.width, 2)
                       if abs(image.pixel(x, y)[0] - 230) < 20 and image.pixel(x, y)[1] < 60
                       and image.pixel(x, y)[2] < 50)
        time.sleep(1.0)
        hidden = red(prog.screenshot())
        prog.key("g")
        time.sleep(1.5)
        shown = red(prog.screenshot())
        check(shown > hidden + 50, "no red outline: %d red pixels without g, %d with" % (hidden, shown))
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
