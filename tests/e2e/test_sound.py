"""The window's sound, recorded through OpenAL Soft's file-writing backend: a
demo run is heard, y silences it, and without a device the program says so
once and runs as before."""

import os
import subprocess
import time

from harness import Program, check, run


def rms(path, start, length):
    """Root-mean-square amplitude (0..1) of a stretch of a WAV file, by sox."""
    out = subprocess.run(["sox", path, "-n", "trim", str(start), str(length), "stat"],
                         capture_output=True, text=True, timeout=60).stderr
    for line in out.splitlines():
        if line.startswith("RMS     amplitude:"):
            return float(line.split(":")[1])
    raise AssertionError("sox said: " + out)


def test(args, xvfb):
    # Without a device (this environment names none that exists).
    os.environ["ALSOFT_DRIVERS"] = "no-such-driver"
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output("entering glut main loop")
        prog.wait_output("sound is off")
        check(sum("sound" in line for line in prog.output().splitlines()) == 1,
              "not one line about sound: %r" % prog.output()[-300:])
        prog.find_window()
        prog.key("F5", "l", "y")
        time.sleep(1.0)
        check(prog.proc.poll() is None, "the program did not run on without sound")
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
    finally:
        prog.stop()

    # With OpenAL Soft writing what it plays to a file.
    wav = os.path.join(os.environ.get("TMPDIR", "/tmp"), "tumbalon-sound-%d.wav" % os.getpid())
    conf = wav + ".conf"
    with open(conf, "w") as f:
        f.write("[general]\nfrequency = 44100\n[wave]\nfile = %s\n" % wav)
    os.environ["ALSOFT_DRIVERS"] = "wave"
    os.environ["ALSOFT_CONF"] = conf
    prog = Program(args.program, args.data, xvfb.display)
    try:
        prog.wait_output("entering glut main loop")
        prog.find_window()
        started = time.time()
        prog.key("F5", "l")
        time.sleep(0.9)  # the demo's ball rolls and clacks for about 2 s
        prog.key("y")
        silenced = time.time()
        time.sleep(1.2)
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status not 0")
        check("sound is off" not in prog.output(), "the wave device was not used")
        # The file runs from the program's start; the run began a little
        # before `started` relative to it, so measure well inside each part.
        total = float(subprocess.run(["soxi", "-D", wav], capture_output=True, text=True).stdout)
        offset = total - (time.time() - started)
        heard = rms(wav, max(0.0, offset + 0.3), 0.5)
        after = rms(wav, offset + (silenced - started) + 0.2, 0.6)
        check(heard > 0.002, "the run made no sound (rms %g)" % heard)
        check(after < 0.001, "y did not silence the sound (rms %g, before %g)" % (after, heard))
    finally:
        prog.stop()
        for path in (wav, conf):
            if os.path.exists(path):
                os.remove(path)


if __name__ == "__main__":
    run(test)
