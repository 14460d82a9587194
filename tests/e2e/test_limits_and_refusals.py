"""The system's limits are messages, never deaths or lost files: a small
file-size limit (ulimit -f) neither kills the window at start nor the
simulator writing its trace, and a report that cannot be written leaves the
old one whole. Arguments that name nothing are refused, and so are
catalogue names that would steer the terminal and scenes far larger than
any real run."""

import os
import resource
import shutil
import subprocess
import tempfile

from harness import Program, check, run

START = "entering glut main loop\n\n"


def file_size_limit(limit_bytes):
    def apply():
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit_bytes, limit_bytes))
    return apply


def scene_with(count):
    """count kloetze of type 1 stacked over the grid, one ball start."""
    cell_ball = ["-1"] * 400
    cell_ball[0] = "0"
    stacks = []
    for cell in range(400):
        first, last = count * cell // 400, count * (cell + 1) // 400
        stacks.append(" ".join([str(last - first)] + [str(i) for i in range(first, last)]))
    pose = "1 0 0 0 0 1 0 0 0 0 1 0 25 25 -25 1"
    return "\n".join([" ".join(cell_ball), "1 0 0", " ".join(stacks), " ".join([str(count)] + ["1"] * count),
                      " ".join([pose] * count), "10 10"]) + "\n"


def sim(args, workdir, *arguments, preexec_fn=None, user=None):
    command = [os.path.abspath(args.sim)] + list(arguments)
    if user is not None:
        command = ["setpriv", "--reuid", str(user), "--regid", str(user), "--clear-groups"] + command
    return subprocess.run(command, cwd=workdir, capture_output=True, timeout=300, preexec_fn=preexec_fn)


def check_window_under_file_size_limit(args, xvfb):
    # The sound system maps a 64 MiB shared buffer, past a limit of 1000 KiB.
    prog = Program(args.program, args.data, xvfb.display, preexec_fn=file_size_limit(1000 * 1024))
    try:
        prog.wait_output(START)
        prog.find_window()
        prog.key("Escape")
        status = prog.wait_exit()
        check(status == 0, "window under ulimit -f 1000 ended with status %s; errors:\n%s"
              % (status, prog.errors()[-2000:]))
    finally:
        prog.stop()


def check_simulator_outputs(args, workdir):
    # --trace past a 4 KiB limit: a message and status 1, not SIGXFSZ.
    r = sim(args, workdir, "demo1.tumbalon", "--seconds", "2", "--trace", "t.csv", preexec_fn=file_size_limit(4096))
    check(r.returncode == 1, "--trace under ulimit -f 4: status %d, errors %r" % (r.returncode, r.stderr))
    check(b'writing the trace file "t.csv" failed: File too large' in r.stderr, r.stderr.decode("latin-1"))
    check(not os.path.exists(os.path.join(workdir, "t.csv")), "a cut trace was left")

    # As an ordinary user in a folder that takes no new file, with a
    # writable old report and ulimit -f 2: refused, the old report whole.
    if os.geteuid() == 0:
        locked = os.path.join(workdir, "locked")
        os.mkdir(locked)
        report = os.path.join(locked, "run.html")
        old = "<html>the report of an earlier run</html>\n" * 40
        with open(report, "w") as f:
            f.write(old)
        os.chmod(workdir, 0o755)
        os.chmod(report, 0o666)
        os.chmod(locked, 0o555)
        r = sim(args, workdir, "demo1.tumbalon", "--seconds", "2", "--report", report,
                preexec_fn=file_size_limit(2048), user=65534)
        os.chmod(locked, 0o755)
        check(r.returncode == 1, "--report under ulimit -f 2: status %d, errors %r" % (r.returncode, r.stderr))
        check(b"failed: File too large" in r.stderr, r.stderr.decode("latin-1"))
        with open(report) as f:
            check(f.read() == old, "the old report was changed")
        check(os.listdir(locked) == ["run.html"], "left behind: %s" % os.listdir(locked))
    else:
        print("not root: the unprivileged-user case is left out")


def check_refusals(args, workdir):
    r = sim(args, workdir, "--help")
    check(r.returncode == 0 and r.stdout.startswith(b"usage: tumbalon-sim SCENE"), "--help: %r" % (r,))
    r = sim(args, workdir, "-x")
    check(r.returncode == 2 and b'unknown option "-x"' in r.stderr, "-x: %r" % (r,))
    r = sim(args, workdir, "demo1.tumbalon", "--trace", "")
    check(r.returncode == 2 and b"--trace needs the name of the CSV file" in r.stderr, "--trace '': %r" % (r,))
    r = sim(args, workdir, "")
    check(r.returncode == 2 and b"the scene file name is empty" in r.stderr, "empty scene name: %r" % (r,))
    r = subprocess.run([args.program, ""], capture_output=True, timeout=30)
    check(r.returncode == 2 and r.stdout == b"", "tumbalon '': %r" % (r,))
    check(b"tumbalon: the scene file name is empty" in r.stderr, r.stderr.decode("latin-1"))

    # A scene far larger than any real run is refused by its count.
    with open(os.path.join(workdir, "huge.tumbalon"), "w") as f:
        f.write(scene_with(20001))
    r = sim(args, workdir, "huge.tumbalon", "--seconds", "0")
    check(r.returncode == 1 and b"20001 kloetze, more than the 20000 a scene may hold" in r.stderr,
          "huge scene: status %d, errors %r" % (r.returncode, r.stderr[:500]))

    # A catalogue name with an escape sequence never reaches the console raw.
    shutil.copy(os.path.join(workdir, "straight.obj"), os.path.join(workdir, "str\x1b[2Jaight.obj"))
    with open(os.path.join(workdir, "tumbalon_all.cfg"), "wb") as f:
        f.write(b"start str\x1b[2Jaight goal\n")
    with open(os.path.join(workdir, "lane.tumbalon"), "w") as f:
        f.write(scene_with(0).replace("\n0\n", "\n0 \n"))
    r = sim(args, workdir, "lane.tumbalon", "--seconds", "1")
    check(b"\x1b" not in r.stdout + r.stderr, "raw escape on the console: %r" % (r.stdout + r.stderr))
    check(b'line 1: the name "str\\x1b[2Jaight" contains control characters' in r.stderr,
          "no refusal: %r" % r.stderr)


def test(args, xvfb):
    check_window_under_file_size_limit(args, xvfb)
    workdir = tempfile.mkdtemp(prefix="tumbalon-limits-")
    try:
        for name in os.listdir(args.data):
            if name.endswith((".obj", ".parts", ".cfg", ".tumbalon")):
                shutil.copy(os.path.join(args.data, name), workdir)
        check_simulator_outputs(args, workdir)
        check_refusals(args, workdir)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    run(test)
