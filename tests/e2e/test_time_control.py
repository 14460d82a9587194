"""A user watches a demo run, pauses it, steps back and forward through it,
slows it down and lets it go on, in the real window."""

import time

from harness import Program, check, run


def difference(a, b):
    """Pixels that differ between two screenshots of the same size."""
    return sum(1 for i in range(0, min(len(a.data), len(b.data)), 3) if a.data[i:i + 3] != b.data[i:i + 3])


def status_changes(a, b):
    """Pixels of the status line (its clock) that differ between two shots."""
    return sum(1 for y in range(0, 30) for x in range(a.width - 300, a.width) if a.pixel(x, y) != b.pixel(x, y))


def status_pixels(shot):
    """The status line's pale yellow text in the top-right corner."""
    return shot.count(lambda p: p[0] > 200 and p[1] > 200 and p[2] < 220 and p[2] > 150,
                      shot.width - 300, 0, shot.width, 30)


def test(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        prog.key("F8", "l")
        time.sleep(1.5)
        prog.key("p")
        time.sleep(0.3)
        paused = prog.screenshot()
        check(status_pixels(paused) > 20, "no status line while paused")
        time.sleep(0.3)
        check(difference(paused, prog.screenshot()) == 0, "the picture moves while paused")

        prog.key(*(["b"] * 20), delay=0.05)
        time.sleep(0.3)
        back = prog.screenshot()
        check(difference(paused, back) > 50, "stepping back does not move the balls")
        prog.key(*(["n"] * 10), delay=0.05)
        time.sleep(0.3)
        forward = prog.screenshot()
        check(difference(back, forward) > 50, "stepping forward does not move the balls")

        # The run's clock in the status line shows it going on: at 1/8 speed
        # the balls may all be out of sight or nearly still just then.
        prog.key("minus", "minus", "minus", "p")
        time.sleep(0.5)
        first = prog.screenshot()
        time.sleep(1.0)
        later = prog.screenshot()
        check(status_changes(first, later) > 10, "the run does not go on after the pause")
        check(status_pixels(first) > 20, "no status line at 1/8 speed")

        prog.key("l")
        time.sleep(0.3)
        check(prog.proc.poll() is None, "the program ended when the run stopped")
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
