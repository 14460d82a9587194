"""The shipped demos and gallery guarded the way any collection of runs can
be: tumbalon-sim --check FOLDER brings every ball of every scene home, or
fails. And the robustness check from the command line: the same seed gives
the same output whatever the number of threads."""

import os
import shutil
import subprocess
import sys
import tempfile

from harness import Failure, check, parse_args


def sim(args, workdir, timeout=600):
    return subprocess.run([ARGS.sim] + args, cwd=workdir, capture_output=True, text=True, timeout=timeout)


def main():
    workdir = tempfile.mkdtemp(prefix="tumbalon-check-")
    try:
        for name in os.listdir(ARGS.data):
            if name.endswith((".obj", ".parts", ".cfg", ".tumbalon")):
                shutil.copy(os.path.join(ARGS.data, name), workdir)
        shutil.copytree(os.path.join(ARGS.data, "gallery"), os.path.join(workdir, "gallery"))

        # The perpetual lift is the one shipped run whose balls never come
        # home: the check says so, and only of it.
        for folder, scenes, endless in ((".", 4, 0), ("gallery", len(os.listdir(os.path.join(ARGS.data, "gallery"))), 1)):
            done = sim(["--check", folder], workdir)
            lines = done.stdout.splitlines()
            check(done.returncode == (1 if endless else 0), "--check %s gave %d:\n%s%s"
                  % (folder, done.returncode, done.stdout, done.stderr))
            check(len([l for l in lines if l.startswith("scene=")]) == scenes, "one line per scene:\n" + done.stdout)
            check(lines[-1] == "check: %d of %d scenes brought every ball home" % (scenes - endless, scenes),
                  done.stdout)
            if endless:
                check(any(l.startswith("scene=perpetual_lift.tumbalon balls=5 home=0 ") for l in lines), done.stdout)

        # A scene that loses its ball makes the check fail.
        os.mkdir(os.path.join(workdir, "lost"))
        with open(os.path.join(workdir, "lost", "falls.tumbalon"), "w") as f:
            cells = ["-1"] * 400
            cells[5 * 20 + 5] = "0"
            f.write(" ".join(cells) + " \n1 5 5 \n" + " ".join(["0"] * 400) + " \n0 \n \n10 10 ")
        done = sim(["--check", "lost"], workdir)
        check(done.returncode == 1, "a lost ball must fail the check, got %d:\n%s%s" % (done.returncode, done.stdout,
                                                                                        done.stderr))
        check("scene=falls.tumbalon balls=1 home=0" in done.stdout, done.stdout)

        outputs = []
        for jobs in ("1", "2"):
            done = sim(["demo2.tumbalon", "--robustness", "6", "--seed", "5", "-j", jobs, "--seconds", "5"], workdir)
            check(done.returncode == 0, done.stderr)
            outputs.append(done.stdout)
        check(outputs[0] == outputs[1], "-j changed the result:\n%s\n%s" % tuple(outputs))
        lines = outputs[0].splitlines()
        check(sum(1 for l in lines if l.startswith("robust_ball=")) == sum(1 for l in lines if l.startswith("ball=")),
              "one robustness line per ball:\n" + outputs[0])
        check(lines[-1].startswith("robustness: ") and lines[-1].endswith(" of 6 runs brought every ball home"),
              outputs[0])

        # A picture of the run, drawn without a window.
        done = sim(["demo2.tumbalon", "--seconds", "1", "--picture", "run.png", "--at", "1"], workdir)
        check(done.returncode == 0, done.stderr)
        with open(os.path.join(workdir, "run.png"), "rb") as f:
            head = f.read(24)
        check(head[:8] == b"\x89PNG\r\n\x1a\n" and head[16:24] == bytes([0, 0, 3, 0, 0, 0, 3, 0]),
              "not a 768 x 768 PNG file")

        done = sim(["demo2.tumbalon", "--robustness", "-j", "0"], workdir)
        check(done.returncode == 2 and "-j needs" in done.stderr, "-j 0 must be refused: " + done.stderr)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    ARGS = parse_args()
    try:
        main()
    except Failure as e:
        print("FAIL:", e)
        sys.exit(1)
    print("ok")
