"""With a catalogue list that names no type the program still starts, says
so once, and refuses everything that needs a type: insertion, the palette,
a demo scene that names types."""

from harness import Program, check, run


def test(args, xvfb):
    prog = Program(args.program, args.data, xvfb.display, extra_files={"tumbalon_all.cfg": "\n"})
    try:
        prog.wait_output("entering glut main loop\n\n")
        log = prog.output()
        check(log.count("tumbalon_all.cfg") == 1, "the catalogue is not named exactly once:\n" + log)
        check(prog.workdir in log, "the message does not name the folder:\n" + log)
        check("loading kloetze...\n\nloading kloetze done\n" in log, "kloetze were loaded:\n" + log)
        prog.find_window()

        prog.click(50, 450)
        prog.click(450, 450)
        prog.key("Next", "Prior", "Return", "space", "Return", "o")
        mark = len(prog.output())
        prog.key("F5")
        prog.wait_output("tried loading jollyride.tumbalon\n", start=mark)
        check("refused" in prog.output()[mark:], "a scene naming unknown types was not refused:\n"
              + prog.output()[mark:])
        prog.key("l")
        prog.key("l")
        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status %s" % prog.proc.returncode)
        check(prog.output().endswith("exiting"), "did not exit cleanly: %r" % prog.output()[-200:])
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
