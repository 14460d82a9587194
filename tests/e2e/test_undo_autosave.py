"""A user builds a small run, undoes and redoes some of it, saves with
Ctrl+S, and leaves with unsaved changes by esc: the work lands in
autosave.tumbalon. The next start, given the saved file on the command line,
names the autosave file, loads the run, and a window-manager close with
unsaved changes writes the autosave file too."""

import os
import shutil
import time

from harness import Program, check, run
from test_build_run import check_saved

START = "entering glut main loop\n\n"


def section(text, number):
    return text.split("\n")[number - 1]


def read(prog, name):
    with open(os.path.join(prog.workdir, name)) as f:
        return f.read()


def test(args, xvfb):
    first = Program(args.program, args.data, xvfb.display)
    first.own_workdir = False  # the second start runs in it
    try:
        both_starts(args, xvfb, first)
    finally:
        first.stop()
        shutil.rmtree(first.workdir, ignore_errors=True)


def both_starts(args, xvfb, first):
    try:
        first.wait_output(START)
        check("autosave" not in first.output(), "an autosave notice without an autosave file")
        first.find_window()
        time.sleep(0.5)
        autosave = os.path.join(os.path.realpath(first.workdir), "autosave.tumbalon")

        # The same run as test_build_run: two straights, the first turned, a
        # ball start. Undo the last three steps, redo them, and once more.
        first.click(150, 450)
        first.key("Up", "Return", "space", "h", "space", "o", "Right", "Return")
        first.key("ctrl+z", "ctrl+z", "ctrl+z", "ctrl+y", "ctrl+y", "ctrl+y", "ctrl+z", "ctrl+y")

        mark = len(first.output())
        first.key("ctrl+s")
        first.wait_output("save to (filename): ", start=mark, timeout=10)
        first.type_console("run1.tumbalon\n")
        first.wait_output("save done\n", start=mark)
        saved = check_saved(os.path.join(first.workdir, "run1.tumbalon"))

        # Ctrl+S now writes the same file without asking.
        mark = len(first.output())
        first.key("Return", "ctrl+s")
        first.wait_output("save done\n", start=mark)
        check("save to" not in first.output()[mark:], "Ctrl+S asked again")
        check(section(read(first, "run1.tumbalon"), 4).startswith("3 "), "the third klotz was not saved")
        mark = len(first.output())
        first.key("ctrl+z", "ctrl+s")
        first.wait_output("save done\n", start=mark)
        check(read(first, "run1.tumbalon") == saved, "after undo the saved file differs from the first save")

        first.key("Left", "Return", "Escape")
        check(first.wait_exit() == 0, "exit status")
        check(first.output().endswith("unsaved changes written to %s\nexiting" % autosave),
              "no autosave line: %r" % first.output()[-200:])
        check(section(read(first, "autosave.tumbalon"), 4).startswith("3 "), "autosave does not hold the work")
    finally:
        first.stop()

    second = Program(args.program, args.data, xvfb.display, workdir=first.workdir, args=["run1.tumbalon"])
    try:
        second.wait_output(START + "unsaved work of an earlier run is in %s (load it from the menu)\nload done\n"
                           % autosave)
        second.find_window()
        time.sleep(0.5)
        os.remove(autosave)
        second.key("ctrl+s")
        second.wait_output("save done\n", start=len(START))
        check(read(second, "run1.tumbalon") == saved, "the loaded run saves differently")

        second.key("Return")
        second.close_window()
        status = second.wait_exit()
        check(status == 0, "exit status %s after closing the window; output: %r; errors: %r"
              % (status, second.output()[-300:], second.errors()[-500:]))
        check(second.output().endswith("unsaved changes written to %s\nexiting" % autosave),
              "no autosave line at close: %r" % second.output()[-200:])
        check(section(read(second, "autosave.tumbalon"), 4).startswith("3 "), "autosave does not hold the work")
        check(second.errors() == "", "standard error: " + second.errors())
    finally:
        second.stop()


if __name__ == "__main__":
    run(test)
