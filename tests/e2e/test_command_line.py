"""The command line: --help and a wrong option end at once; a missing or a
malformed scene file is reported like the menu's load does, and the program
runs on with an empty scene."""

import os
import subprocess

from harness import Program, check, run

START = "entering glut main loop\n\n"


def quit_with_empty_scene(prog):
    """Ctrl+S has no file to write to, so it asks; the saved scene is empty."""
    prog.find_window()
    mark = len(prog.output())
    prog.key("ctrl+s")
    prog.wait_output("save to (filename): ", start=mark, timeout=10)
    prog.type_console("after.tumbalon\n")
    prog.wait_output("save done\n", start=mark)
    with open(os.path.join(prog.workdir, "after.tumbalon")) as f:
        lines = f.read().split("\n")
    check(lines[1:4] == ["0 ", "0 " * 400, "0 "], "the scene is not empty")
    prog.key("Escape")
    check(prog.wait_exit() == 0, "exit status")
    check(prog.output().endswith("save done\nexiting"), "last output: %r" % prog.output()[-200:])


def test(args, xvfb):
    usage = subprocess.run([args.program, "--help"], capture_output=True, text=True, timeout=30)
    check(usage.returncode == 0, "--help exit status %d" % usage.returncode)
    check(usage.stdout.startswith("usage: tumbalon [SCENE]\n"), "--help printed %r" % usage.stdout[:200])

    wrong = subprocess.run([args.program, "--fast"], capture_output=True, text=True, timeout=30)
    check(wrong.returncode == 2, "unknown option exit status %d" % wrong.returncode)
    check(wrong.stdout == "", "start-up ran: %r" % wrong.stdout[:200])
    check('unknown option "--fast"' in wrong.stderr, "message: %r" % wrong.stderr)

    missing = Program(args.program, args.data, xvfb.display, args=["nothere.tumbalon"])
    try:
        missing.wait_output(START + 'Can not open object File "nothere.tumbalon" !\nload failed\n')
        check("load done" not in missing.output(), "a failed load reported as done")
        quit_with_empty_scene(missing)
    finally:
        missing.stop()

    broken = Program(args.program, args.data, xvfb.display, args=["broken.tumbalon"],
                     extra_files={"broken.tumbalon": "-1 -1 x\n"})
    try:
        broken.wait_output(START + 'scene file "broken.tumbalon" refused: ')
        broken.wait_output("load failed\n")
        check("load done" not in broken.output(), "a refused load reported as done")
        quit_with_empty_scene(broken)
    finally:
        broken.stop()


if __name__ == "__main__":
    run(test)
