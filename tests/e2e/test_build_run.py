"""A user builds a small run with the palette, the arrows and the keys, saves
it through the middle-button menu answering on the console, clears, loads it
back and saves again, then runs the simulation and sees the ball."""

import os
import re
import time

from harness import Program, check, near, run

FLOAT = re.compile(r"-?\d\.\d{13}e[+-]\d{2,3}$")


def expected_sections():
    balls = ["-1"] * 400
    balls[10 * 20 + 11] = "0"
    stacks = ["0"] * 400
    stacks[10 * 20 + 11] = "1 0"
    stacks[11 * 20 + 11] = "1 1"
    return [" ".join(balls) + " ", "1 10 11 ", " ".join(stacks) + " ", "2 1 1 ", None, "11 11 "]


# Klotz 0 turned by -90 degrees about y on cell (10, 11); klotz 1 unturned on
# cell (11, 11); both on the ground level.
EXPECTED_POSES = [0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 525, 25, -575, 1,
                  1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 575, 25, -575, 1]


def check_saved(path):
    with open(path) as f:
        text = f.read()
    check(not text.endswith("\n"), "the file ends with a line end")
    lines = text.split("\n")
    check(len(lines) == 6, "%d lines instead of 6" % len(lines))
    for i, (line, want) in enumerate(zip(lines, expected_sections())):
        if want is not None:
            check(line == want, "section %d is %r, expected %r" % (i + 1, line[:120], want[:120]))
    check(lines[4].endswith(" "), "poses line does not end with a blank")
    values = lines[4].split()
    check(len(values) == 32, "%d pose values" % len(values))
    for v, want in zip(values, EXPECTED_POSES):
        check(FLOAT.match(v) is not None, "pose value %r is not written as %%.13e" % v)
        check(abs(float(v) - want) < 1e-5, "pose value %s, expected %s" % (v, want))
    return text


def is_ball_colour(p):
    # The ball texture's blue and green tiles; nothing else in the scene has them.
    r, g, b = p
    return (b > 150 and r < 100 and b - g > 60) or (g > 120 and r < 90 and b < 100)


def test(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output("entering glut main loop\n\n")
        prog.find_window()
        time.sleep(0.5)

        # Pick type 1 (the straight) in the palette strip.
        prog.click(150, 450)
        prog.key("Up", "Return", "space", "h", "space", "o", "Right", "Return")

        mark = len(prog.output())
        prog.menu(0)
        prog.wait_output("save to (filename): ", start=mark, timeout=10)
        prog.type_console("run1.tumbalon\n")
        prog.wait_output("save done\n", start=mark)
        first = check_saved(os.path.join(prog.workdir, "run1.tumbalon"))

        mark = len(prog.output())
        prog.menu(2)
        prog.wait_output("do you save your changes? [y/n/c] ", start=mark, timeout=10)
        prog.type_console("n\n")
        prog.wait_output("scene cleared\n", start=mark)

        mark = len(prog.output())
        prog.menu(1)
        prog.wait_output("do you save your changes? [y/n/c] ", start=mark, timeout=10)
        prog.type_console("n\nrun1.tumbalon\n")
        prog.wait_output("load done\n", start=mark)
        check("load from (filename): " in prog.output()[mark:], "no file name prompt")

        mark = len(prog.output())
        prog.menu(0)
        prog.wait_output("save to (filename): ", start=mark, timeout=10)
        prog.type_console("run2.tumbalon\n")
        prog.wait_output("save done\n", start=mark)
        with open(os.path.join(prog.workdir, "run2.tumbalon")) as f:
            check(f.read() == first, "the reloaded scene saves differently")

        building = prog.screenshot()
        check(building.count(is_ball_colour, 0, 0, building.width, building.height - 100) == 0,
              "ball colours before the simulation started")
        prog.key("l")
        time.sleep(1.0)
        running = prog.screenshot()
        seen = running.count(is_ball_colour)
        mark = len(prog.output())
        prog.key("l")
        check(seen >= 5, "no ball drawn during the simulation (%d ball pixels)" % seen)
        # Stopping the run tells how it went, ball by ball.
        prog.wait_output("balls home after ", start=mark, timeout=10)
        time.sleep(0.3)
        summary = prog.output()[mark:]
        check(re.search(r"run: 0 of 1 balls home after \d+\.\d\d s\nball 0: (stopped|floor|moving)", summary),
              "no run summary: %r" % summary)

        # g shows the statistics of the last run over the scene.
        def panel_text(p):
            return near(p, (255, 242, 166), 30)
        before = prog.screenshot().count(panel_text, 0, 0, 300, 60)
        prog.key("g")
        time.sleep(0.3)
        after = prog.screenshot().count(panel_text, 0, 0, 300, 60)
        check(before == 0 and after >= 30, "statistics panel: %d text pixels before g, %d after" % (before, after))
        prog.key("g")

        prog.key("F2", "F2")
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status")
        check(prog.output().endswith("exiting"), "no exiting: %r" % prog.output()[-80:])
        check(prog.errors() == "", "standard error: " + prog.errors())
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
