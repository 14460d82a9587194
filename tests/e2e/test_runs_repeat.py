"""Every run of a scene starts from the same state: demo1 run twice in the
window gives each ball the same outcome, top speed and rest time, and the
same as the headless simulator gives it."""

import os
import subprocess
import time

from harness import Program, check, run

FIELDS = ("ball", "start", "top_speed", "rest_time", "outcome", "last_on", "left_track")


def balls(lines):
    """The compared fields of each ball line."""
    table = []
    for line in lines:
        pairs = dict(word.split("=", 1) for word in line.split() if "=" in word)
        if "ball" in pairs:
            table.append(tuple((f, pairs.get(f)) for f in FIELDS))
    return table


def test(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display, args=("--log-runs", "runs.log"))
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        prog.key("F5")
        prog.wait_output("tried loading jollyride.tumbalon")
        for _ in range(2):
            # Four times the normal pace: the last ball rests after 25 s of run.
            mark = len(prog.output())
            prog.key("l", "plus", "plus")
            time.sleep(14)
            prog.key("l")
            prog.wait_output("balls home after", start=mark)
            time.sleep(0.5)
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
        with open(os.path.join(prog.workdir, "runs.log")) as f:
            runs = [balls(block.splitlines()) for block in f.read().split("\n\n") if block.strip()]
        check(len(runs) == 2, "the log holds %d runs, not 2" % len(runs))
        check(len(runs[0]) == 10, "demo1 has 10 balls, the log %d" % len(runs[0]))
        check(all(dict(b)["rest_time"] != "never" for b in runs[0]), "not every ball came to rest: %s" % runs[0])

        sim = subprocess.run([os.path.abspath(args.sim), "demo1.tumbalon", "--seconds", "60"], cwd=prog.workdir,
                             capture_output=True, text=True, timeout=300)
        check(sim.returncode == 0, "the simulator failed: " + sim.stderr)
        expected = balls(sim.stdout.splitlines())
        for n, table in enumerate(runs):
            for window, headless in zip(table, expected):
                check(window == headless, "run %d differs from the simulator:\n  window %s\n  sim    %s"
                      % (n + 1, window, headless))
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
