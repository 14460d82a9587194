"""Where the unsaved work goes at exit. Earlier autosaves are kept
(autosave.tumbalon moves on to autosave-1.tumbalon, then -2), and the start
names the earlier one in the window too. The autosave never writes through a
link out of the folder. When autosave.tumbalon cannot be written (a folder,
a read-only folder) the next place is tried and named; when nothing can be
written, esc does not end the program and the work can be saved elsewhere."""

import os
import shutil
import stat
import subprocess
import tempfile
import threading
import time

from harness import Program, check, run

START = "entering glut main loop\n\n"
EARLIER = "earlier run, kept"


class UserProgram(Program):
    """The program run as the unprivileged user nobody, with the given
    environment changes."""

    def __init__(self, program, data, display, workdir, env):
        self.own_workdir = False
        self.workdir = workdir
        self.display = display
        self.env = dict(os.environ, DISPLAY=display, **env)
        self.proc = subprocess.Popen(["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                      "stdbuf", "-oL", "-eL", os.path.abspath(program)],
                                     cwd=workdir, env=self.env,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self._out = bytearray()
        self._err = bytearray()
        self._lock = threading.Lock()
        threading.Thread(target=self._pump, args=(self.proc.stdout, self._out), daemon=True).start()
        threading.Thread(target=self._pump, args=(self.proc.stderr, self._err), daemon=True).start()
        self.window = None


def read(path):
    with open(path) as f:
        return f.read()


def holds_work(path):
    return os.path.isfile(path) and any(v != "0" for v in read(path).split("\n")[2].split())


def notice_pixels(prog):
    # The overlay's pale yellow text in the top band of the window, where
    # the overlay lines stand (the grid there is white, the ground blue).
    shot = prog.screenshot()
    return shot.count(lambda p: p[0] > 150 and p[2] < p[0] - 40, shot.width // 3, 0, shot.width, 60)


def start(args, xvfb, workdir=None, files=None):
    prog = Program(args.program, args.data, xvfb.display, extra_files=files, workdir=workdir)
    prog.wait_output(START)
    prog.find_window()
    time.sleep(0.5)
    return prog


def build_and_leave(prog, expect_written):
    prog.key("Return", "o", "Escape")
    check(prog.wait_exit() == 0, "exit status")
    check("unsaved changes written to %s\n" % expect_written in prog.output(),
          "the written autosave is not named %s: %r" % (expect_written, prog.output()[-400:]))


def kept_and_noticed(args, xvfb):
    plain = start(args, xvfb)
    try:
        without = notice_pixels(plain)
    finally:
        plain.stop()
    first = start(args, xvfb, files={"autosave.tumbalon": EARLIER})
    work = os.path.realpath(first.workdir)
    try:
        with_notice = notice_pixels(first)
        check(with_notice > without + 30, "no notice of the earlier autosave in the window (%d bright pixels, %d "
              "without an autosave)" % (with_notice, without))
        build_and_leave(first, os.path.join(work, "autosave.tumbalon"))
        check(read(os.path.join(work, "autosave-1.tumbalon")) == EARLIER, "the earlier autosave was not kept")
        check(holds_work(os.path.join(work, "autosave.tumbalon")), "no autosave of this run")
        second = start(args, xvfb, workdir=work)
        build_and_leave(second, os.path.join(work, "autosave.tumbalon"))
        check(read(os.path.join(work, "autosave-2.tumbalon")) == EARLIER, "the oldest autosave is not in -2")
        check(holds_work(os.path.join(work, "autosave-1.tumbalon")), "the first run's autosave is not in -1")
    finally:
        first.stop()
        shutil.rmtree(work, ignore_errors=True)


def never_through_a_link(args, xvfb):
    outside = tempfile.mkdtemp(prefix="tumbalon-outside-")
    target = os.path.join(outside, "precious.txt")
    with open(target, "w") as f:
        f.write("precious")
    prog = Program(args.program, args.data, xvfb.display)
    work = os.path.realpath(prog.workdir)
    try:
        os.symlink(target, os.path.join(work, "autosave.tumbalon"))
        prog.wait_output(START)
        prog.find_window()
        time.sleep(0.3)
        build_and_leave(prog, os.path.join(work, "autosave.tumbalon"))
        check(read(target) == "precious", "the autosave wrote through the link into %s" % target)
        check(not os.path.islink(os.path.join(work, "autosave.tumbalon")), "the link is still there")
        check(holds_work(os.path.join(work, "autosave.tumbalon")), "the autosave does not hold the work")
    finally:
        prog.stop()
        shutil.rmtree(outside, ignore_errors=True)


def folder_in_the_way(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display)
    work = os.path.realpath(prog.workdir)
    try:
        os.mkdir(os.path.join(work, "autosave.tumbalon"))
        prog.wait_output(START)
        prog.find_window()
        time.sleep(0.3)
        prog.key("Return", "o")
        prog.close_window()
        check(prog.wait_exit() == 0, "exit status after the close")
        check("unsaved changes written to %s\n" % os.path.join(work, "autosave-3.tumbalon") in prog.output(),
              "the next place is not named: %r" % prog.output()[-400:])
        check(holds_work(os.path.join(work, "autosave-3.tumbalon")), "the work is lost")
    finally:
        prog.stop()


def read_only_folder(args, xvfb):
    if subprocess.run(["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "true"]).returncode != 0:
        print("skipped the read-only folder: cannot run as the user nobody")
        return
    root = tempfile.mkdtemp(prefix="tumbalon-e2e-ro-")
    work = os.path.join(root, "work")
    spare = os.path.join(root, "spare")
    shut = os.path.join(root, "shut")
    for folder in (work, spare, shut):
        os.mkdir(folder)
    for name in os.listdir(args.data):
        if os.path.isfile(os.path.join(args.data, name)):
            shutil.copy(os.path.join(args.data, name), work)
    os.chmod(root, 0o755)
    os.chmod(work, 0o555)
    os.chmod(shut, 0o555)
    os.chmod(spare, 0o777)
    try:
        # The temporary folder takes the work, and the message names it.
        prog = UserProgram(args.program, args.data, xvfb.display, work, {"HOME": "/nonexistent", "TMPDIR": spare})
        try:
            prog.wait_output(START)
            prog.find_window()
            time.sleep(0.3)
            build_and_leave(prog, os.path.join(spare, "autosave.tumbalon"))
            check(holds_work(os.path.join(spare, "autosave.tumbalon")), "the temporary folder holds no work")
        finally:
            prog.stop()

        # Nowhere to write: esc says so and stays, the user saves elsewhere,
        # and then esc ends.
        prog = UserProgram(args.program, args.data, xvfb.display, work, {"HOME": "/nonexistent", "TMPDIR": shut})
        try:
            prog.wait_output(START)
            prog.find_window()
            time.sleep(0.3)
            prog.key("Return", "o", "Escape")
            prog.wait_output("the unsaved changes could not be written anywhere\n")
            time.sleep(1)
            check(prog.proc.poll() is None, "esc ended the program with the work written nowhere")
            mark = len(prog.output())
            prog.menu(0)
            prog.wait_output("save to (filename): ", start=mark, timeout=10)
            prog.type_console(os.path.join(spare, "rescued.tumbalon") + "\n")
            prog.wait_output("save done\n", start=mark)
            prog.key("Escape")
            check(prog.wait_exit() == 0, "exit status after saving elsewhere")
            check(holds_work(os.path.join(spare, "rescued.tumbalon")), "the rescued file holds no work")
        finally:
            prog.stop()
    finally:
        for folder in (root, work, shut):
            os.chmod(folder, stat.S_IRWXU)
        shutil.rmtree(root, ignore_errors=True)


def test(args, xvfb):
    kept_and_noticed(args, xvfb)
    never_through_a_link(args, xvfb)
    folder_in_the_way(args, xvfb)
    read_only_folder(args, xvfb)


if __name__ == "__main__":
    run(test)
