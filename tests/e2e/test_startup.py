"""Start-up, window, help and exit, as a user sees them: the console log of
a first and a second start, the window's size and title, F1 and esc."""

import os
import re
import time

from harness import Program, check, run

HEAD = ("init states... done\n"
        "init timer... done\n"
        "loading config file... done\n"
        "init graphics... done\n"
        "init physics... done\n"
        "init particle system... done\n"
        "loading kloetze...\n")
TAIL = "\nloading kloetze done\ninit subwindow... done\nentering glut main loop\n\n"
HELP_END = "F1:\t\t help\nF5-F8:\t\t load a demo alley\n\n"
# The keys added since, after the original text.
ADDED_HELP_END = "g:\t\t show/hide run statistics\n\n"


def catalogue_names(data):
    """The meshes in the order they load: each type, then its moving parts."""
    with open(os.path.join(data, "tumbalon_all.cfg")) as f:
        names = []
        for name in f.read().split():
            names.append(name)
            parts = os.path.join(data, name + ".parts")
            if os.path.exists(parts):
                with open(parts) as p:
                    names += [name + "_" + line.split()[1] for line in p if line.startswith("part ")]
        return names


def check_log(log, names, verb):
    check(log.startswith(HEAD), "start-up log begins:\n" + log[:400])
    end = log.find(TAIL)
    check(end > 0, "no closing lines in:\n" + log[-600:])
    middle = log[len(HEAD):end]
    counts = r"vertices: \d+, vertex-normals: \d+, faces: \d+, face-normals: \d+\n"
    if verb == "obj":
        per_type = [r"\nloading \.obj-file %s\.obj\n%s\ngenerating \.klotz-file %s\.klotz\n"
                    % (re.escape(n), counts, re.escape(n)) for n in names]
    else:
        per_type = [r"\nloading \.klotz-file %s\.klotz\n%s" % (re.escape(n), counts) for n in names]
    check(re.fullmatch("".join(per_type), middle) is not None,
          "loader lines between the labels do not match (%s):\n%s" % (verb, middle[:1500]))
    check("WARNING" not in log, "a warning was printed:\n" + log)


def test(args, xvfb):
    names = catalogue_names(args.data)
    check(len(names) >= 16, "the shipped catalogue names %d types" % len(names))

    first = Program(args.program, args.data, xvfb.display)
    try:
        first.wait_output("entering glut main loop\n\n")
        check_log(first.output(), names, "obj")
        first.find_window()
        check(first.geometry() == (500, 500), "window size %s" % (first.geometry(),))
        deadline = time.time() + 20
        while "-- fps: " not in first.title() and time.time() < deadline:
            time.sleep(0.1)
        title = first.title()
        check(re.fullmatch(r"tumbalon 1\.0b      press F1 for help -- fps: \d+", title) is not None,
              "title %r" % title)
        check(int(title.rsplit(" ", 1)[1]) <= 40, "more than 40 frames per second: %r" % title)

        before = len(first.output())
        first.key("F1")
        first.wait_output(ADDED_HELP_END, start=before)
        help_text = first.output()[before:]
        check(help_text.startswith("\n\ntumbalon 1.0b\n=============\n"), "help text: %r" % help_text[:80])
        check(HELP_END + "CTRL+Z:" in help_text, "the original help text is not followed by the added keys")

        # F1 also shows the help in the window: the first esc closes it, the
        # second ends the program.
        first.key("Escape")
        time.sleep(0.3)
        check(first.proc.poll() is None, "esc over the help overlay ended the program")
        first.key("Escape")
        status = first.wait_exit()
        check(status == 0, "exit status %s" % status)
        # The added keys' lines follow the help text, then a blank line.
        check(first.output().endswith("\n\nexiting"), "last output: %r" % first.output()[-60:])
        check(all(os.path.exists(os.path.join(first.workdir, n + ".klotz")) for n in names),
              "not every .klotz cache was written")

        # A second start in the same folder reads every mesh from its cache.
        second = Program(args.program, first.workdir, xvfb.display, copy_caches=True)
        try:
            second.wait_output("entering glut main loop\n\n")
            check_log(second.output(), names, "klotz")
            second.find_window()
            second.key("Escape")
            check(second.wait_exit() == 0, "second start did not exit with 0")
        finally:
            second.stop()
    finally:
        first.stop()


if __name__ == "__main__":
    run(test)
