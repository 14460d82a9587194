"""F9 checks the scene's robustness in the background: the window answers
keys meanwhile (a run starts and stops), and the result comes on the
console as tumbalon-sim prints it, a line per ball."""

import time

from harness import Program, check, run


def test(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display)
    try:
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


if __name__ == "__main__":
    run(test)
