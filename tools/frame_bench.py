"""Frame figures of the real window: starts tumbalon in its own Xvfb with
Mesa's software renderer on one thread, plays fixed cases and prints
`name: value` lines: CPU milliseconds per drawn frame (from /proc) and
frames per second (from the window title)."""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import Program, Xvfb  # noqa: E402

STRAIGHT = 1  # catalogue indices of the flat straight and the slope
SLOPE = 3


def field_scene(cells, piece=STRAIGHT):
    """A scene of one piece and one ball start on each (row, column)."""
    starts = [-1] * 400
    for i, (r, c) in enumerate(cells):
        starts[r * 20 + c] = i
    s1 = "".join("%d " % b for b in starts) + "\n"
    s2 = "%d " % len(cells) + "".join("%d %d " % rc for rc in cells) + "\n"
    stack = {r * 20 + c: i for i, (r, c) in enumerate(cells)}
    s3 = "".join(("1 %d " % stack[k]) if k in stack else "0 " for k in range(400)) + "\n"
    s4 = "%d " % len(cells) + "".join("%d " % piece for _ in cells) + "\n"
    poses = ""
    for r, c in cells:
        m = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, r * 50 + 25, 25, -25 - c * 50, 1]
        poses += "".join("%.13e " % v for v in m)
    return s1 + s2 + s3 + s4 + poses + "\n" + "10 10 "


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def measure(prog, seconds):
    """CPU ms per drawn frame and mean fps over the next `seconds`."""
    samples = []
    start_cpu = cpu_seconds(prog.proc.pid)
    start = time.time()
    while time.time() - start < seconds:
        title = prog.title()
        if "fps: " in title:
            samples.append(int(title.rsplit("fps: ", 1)[1]))
        time.sleep(0.1)
    elapsed = time.time() - start
    used = cpu_seconds(prog.proc.pid) - start_cpu
    fps = sum(samples) / len(samples) if samples else 0.0
    frames = max(fps * elapsed, 1.0)
    return 1000.0 * used / frames, fps


CASES = {
    "building": ([], None, None),
    "demo4": (["F8", "l"], None, None),
    "demo4_sparks": (["F8", "x", "l"], None, None),
    # The same with the clearer picture turned off (F3), for comparison.
    "demo4_plain": (["F8", "F3", "l"], None, None),
    # The small demo4 the figures were first taken with (4 balls), for
    # comparison with the showpiece that replaced it.
    "first_demo4": (["F5", "l"], "tests/app/data/demo4.tumbalon", None),
    "100_balls": (["F5", "l", "p"], [(r, c) for r in range(5, 15) for c in range(5, 15)], STRAIGHT),
    # On slopes the balls keep rolling, tumbling and colliding.
    "400_balls": (["F5", "l"], [(r, c) for r in range(20) for c in range(20)], SLOPE),
    "300_shot_balls": (["F8", "l"], None, None),
}


def run_case(args, name):
    keys, cells, piece = CASES[name]
    if isinstance(cells, str):
        with open(cells) as f:
            extra = {"demo1.tumbalon": f.read()}
    else:
        extra = {"demo1.tumbalon": field_scene(cells, piece)} if cells else None
    xvfb = Xvfb()
    prog = Program(args.program, args.data, xvfb.display, extra_files=extra, copy_caches=True)
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        prog.key(*keys, delay=0.5)
        if name == "300_shot_balls":
            prog.xdotool("key", "--delay", "20", "--repeat", "300", "space")
        if name == "400_balls":
            # The balls pile up and come to rest within seconds: measure
            # while they tumble.
            time.sleep(0.3)
            return measure(prog, 2.0)
        time.sleep(args.warmup)
        return measure(prog, args.seconds)
    finally:
        prog.stop()
        xvfb.stop()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--program", default="build/tumbalon")
    p.add_argument("--data", default="data")
    p.add_argument("--seconds", type=float, default=5.0)
    p.add_argument("--warmup", type=float, default=2.0)
    p.add_argument("cases", nargs="*")
    args = p.parse_args()
    # Software GL on one thread, so figures compare between machines.
    os.environ["LIBGL_ALWAYS_SOFTWARE"] = "1"
    os.environ["LP_NUM_THREADS"] = "1"
    for name in args.cases or CASES:
        cpu_ms, fps = run_case(args, name)
        if name.endswith("balls") and name != "100_balls":
            print("fps_%s: %.1f" % (name, fps), flush=True)
        else:
            print("frame_cpu_ms_%s: %.1f" % (name, cpu_ms), flush=True)
            if name == "100_balls":
                continue
        # demo runs also get their fps, for the README's table
        if name.startswith("demo"):
            print("fps_%s: %.1f" % (name, fps), flush=True)


if __name__ == "__main__":
    main()
