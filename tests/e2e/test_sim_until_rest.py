"""tumbalon-sim without --seconds runs until every ball is at rest (or 120
s): all of demo2's balls come home, and the run stops soon after the last
one rests. --seconds still gives the length asked for."""

import os
import re
import subprocess

from harness import check, run


def simulate(args, *extra):
    r = subprocess.run([os.path.abspath(args.sim), "demo2.tumbalon"] + list(extra), cwd=args.data,
                       capture_output=True, text=True, timeout=240)
    check(r.returncode == 0, "tumbalon-sim failed: %s" % r.stderr[-500:])
    return r.stdout


def test(args, xvfb):
    out = simulate(args)
    summary = re.search(r"balls=(\d+) seconds=([\d.]+) at_rest=(\d+) on_floor=\d+ home=(\d+)", out)
    check(summary is not None, "no summary line: %r" % out[-300:])
    balls, seconds, at_rest, home = (int(summary.group(1)), float(summary.group(2)), int(summary.group(3)),
                                     int(summary.group(4)))
    check(home == balls == 11, "%d of %d balls home" % (home, balls))
    check(at_rest == balls, "%d of %d balls at rest" % (at_rest, balls))
    rests = [float(t) for t in re.findall(r"rest_time=([\d.]+)", out)]
    check(len(rests) == balls, "rest times: %r" % rests)
    check(max(rests) < seconds <= max(rests) + 1.5, "ran %.2f s, the last ball rested at %.2f s" % (seconds,
                                                                                                   max(rests)))
    fixed = simulate(args, "--seconds", "5")
    check(" seconds=5 " in fixed, "--seconds 5 ignored: %r" % fixed[-200:])


if __name__ == "__main__":
    run(test)
