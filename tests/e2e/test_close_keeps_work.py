"""Unsaved work survives every way the program can be ended from outside:
the window manager's close button at any moment (building, running, paused,
a prompt waiting), SIGTERM and SIGHUP, and the display going away under it.
Each writes autosave.tumbalon and ends with status 0."""

import os
import signal
import time

from harness import Program, Xvfb, check, run

START = "entering glut main loop\n\n"


def build_something(prog):
    # A klotz and a ball start on the selected cell.
    prog.key("Return", "o", delay=0.05)


def check_autosaved(prog, moment):
    path = os.path.join(prog.workdir, "autosave.tumbalon")
    check(os.path.isfile(path), "%s: no autosave written; output:\n%s\nerrors:\n%s"
          % (moment, prog.output()[-800:], prog.errors()[-800:]))
    with open(path) as f:
        stacks = f.read().split("\n")[2].split()
    check(any(v != "0" for v in stacks), "%s: the autosave holds no klotz" % moment)
    check("unsaved changes written to" in prog.output(), "%s: the autosave is not named" % moment)


# Each moment: what the user does after building, before the close arrives.
MOMENTS = [
    ("building", lambda p: None),
    ("building, at once", "now"),
    ("running", lambda p: (p.key("l"), time.sleep(0.8))),
    ("running, at once", lambda p: p.key("l", delay=0.0)),
    ("paused", lambda p: (p.key("l", "p"), time.sleep(0.3))),
    ("save prompt waiting", lambda p: (p.key("ctrl+s"), p.wait_output("save to (filename): "))),
    ("name half typed", lambda p: (p.key("ctrl+s"), p.wait_output("save to (filename): "),
                                   p.type_console("half"))),
    ("load question waiting", lambda p: (p.menu(1), p.wait_output("do you save your changes? [y/n/c] "))),
    ("camera moving", lambda p: p.key("w", "w", "a", delay=0.0)),
    ("running fast", lambda p: (p.key("l", "plus", "plus", delay=0.05), time.sleep(0.5))),
]


def close_at(args, xvfb, name, action):
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output(START)
        prog.find_window()
        time.sleep(0.3)
        build_something(prog)
        if action == "now":
            pass
        else:
            action(prog)
        prog.close_window()
        status = prog.wait_exit()
        check(status == 0, "%s: exit status %s; errors:\n%s" % (name, status, prog.errors()[-800:]))
        check_autosaved(prog, name)
        check("not found" not in prog.errors() and "no current window" not in prog.errors(),
              "%s: freeglut complained:\n%s" % (name, prog.errors()[-800:]))
    finally:
        prog.stop()


def ended_by_signal(args, xvfb, number, name):
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output(START)
        prog.find_window()
        time.sleep(0.3)
        build_something(prog)
        prog.key("l")
        time.sleep(0.3)
        prog.proc.send_signal(number)
        status = prog.wait_exit()
        check(status == 0, "%s: exit status %s" % (name, status))
        check_autosaved(prog, name)
    finally:
        prog.stop()


def display_lost(args):
    # A display of its own, killed under the running program.
    own = Xvfb()
    prog = Program(args.program, args.data, own.display)
    try:
        prog.wait_output(START)
        prog.find_window()
        time.sleep(0.3)
        build_something(prog)
        time.sleep(0.3)
        own.proc.kill()
        own.proc.wait()
        prog.wait_exit()
        check_autosaved(prog, "display lost")
    finally:
        own.proc = None
        prog.stop()


def test(args, xvfb):
    for name, action in MOMENTS:
        close_at(args, xvfb, name, action)
    ended_by_signal(args, xvfb, signal.SIGTERM, "SIGTERM")
    ended_by_signal(args, xvfb, signal.SIGHUP, "SIGHUP")
    display_lost(args)


if __name__ == "__main__":
    run(test)
