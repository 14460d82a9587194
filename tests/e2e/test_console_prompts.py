"""The menu's prompts on a real terminal: the window keeps drawing while one
waits, keys other than esc are ignored, esc and an empty line cancel, Ctrl-D
cancels only the prompt it answers, saving over another file asks first, and
a link that leads round in a circle is refused."""

import os
import pty
import shutil
import subprocess
import tempfile
import threading
import time

from harness import Program, check, run

START = "entering glut main loop\n\n"
SAVE = "save to (filename): "


class TerminalProgram(Program):
    """The program with its console on a pseudo-terminal, as when started
    from a shell."""

    def __init__(self, program, data, display):
        self.own_workdir = True
        self.workdir = tempfile.mkdtemp(prefix="tumbalon-e2e-")
        for name in os.listdir(data):
            src = os.path.join(data, name)
            if os.path.isfile(src) and not name.endswith(".klotz"):
                shutil.copy(src, self.workdir)
        self.display = display
        self.env = dict(os.environ, DISPLAY=display)
        self.master, slave = pty.openpty()
        self.proc = subprocess.Popen([os.path.abspath(program)], cwd=self.workdir, env=self.env,
                                     stdin=slave, stdout=slave, stderr=subprocess.PIPE, start_new_session=True)
        os.close(slave)
        self._out = bytearray()
        self._err = bytearray()
        self._lock = threading.Lock()
        threading.Thread(target=self._read_terminal, daemon=True).start()
        threading.Thread(target=self._pump, args=(self.proc.stderr, self._err), daemon=True).start()
        self.window = None

    def _read_terminal(self):
        while True:
            try:
                chunk = os.read(self.master, 4096)
            except OSError:
                return
            if not chunk:
                return
            with self._lock:
                self._out.extend(chunk.replace(b"\r\n", b"\n"))

    def type_console(self, text):
        os.write(self.master, text.encode())


def ask_save(prog):
    mark = len(prog.output())
    prog.menu(0)
    prog.wait_output(SAVE, start=mark, timeout=10)
    return mark


def stacks(path):
    with open(path) as f:
        return f.read().split("\n")[2].split()


def changed_pixels(a, b):
    return sum(1 for i in range(0, len(a.data), 3) if a.data[i:i + 3] != b.data[i:i + 3])


def test(args, xvfb):
    prog = TerminalProgram(args.program, args.data, xvfb.display)
    try:
        prog.wait_output(START)
        prog.find_window()
        time.sleep(0.5)
        work = prog.workdir

        # While the prompt waits the window draws on (the marker pulses), and
        # keys other than esc do nothing.
        mark = len(prog.output())
        prog.key("ctrl+s")
        prog.wait_output(SAVE, start=mark, timeout=10)
        first = prog.screenshot()
        prog.key("Return", "o", "l")
        time.sleep(1.5)
        check(changed_pixels(first, prog.screenshot()) > 50, "the window stopped drawing while the prompt waits")
        prog.type_console("empty.tumbalon\n")
        prog.wait_output("save done\n", start=mark)
        check(all(v == "0" for v in stacks(os.path.join(work, "empty.tumbalon"))),
              "a key pressed while the prompt waited changed the scene")

        # Ctrl-D cancels this prompt only: the next one reads what is typed.
        prog.key("Return")
        mark = ask_save(prog)
        prog.type_console("\x04")
        prog.wait_output("no file name given, save canceled\n", start=mark)
        mark = ask_save(prog)
        prog.type_console("typed.tumbalon\n")
        prog.wait_output("save done\n", start=mark)
        check(any(v != "0" for v in stacks(os.path.join(work, "typed.tumbalon"))), "the second save lost the work")

        # Esc in the window and an empty line cancel, with the cancel message.
        prog.key("Return")
        mark = ask_save(prog)
        prog.key("Escape")
        prog.wait_output("no file name given, save canceled\n", start=mark)
        check(prog.proc.poll() is None, "esc at a prompt ended the program")
        mark = ask_save(prog)
        prog.type_console("\n")
        prog.wait_output("no file name given, save canceled\n", start=mark)
        mark = len(prog.output())
        prog.menu(2)
        prog.wait_output("do you save your changes? [y/n/c] ", start=mark, timeout=10)
        prog.key("Escape")
        prog.wait_output("clearing canceled\n", start=mark)

        # Another file is written over only after a yes; the scene's own
        # file (Ctrl+S) is not asked about.
        mark = len(prog.output())
        prog.menu(0)
        prog.wait_output(SAVE, start=mark, timeout=10)
        prog.type_console("empty.tumbalon\n")
        prog.wait_output("file empty.tumbalon exists, overwrite? [y/n] ", start=mark)
        prog.type_console("n\n")
        prog.wait_output("save canceled\n", start=mark)
        check(all(v == "0" for v in stacks(os.path.join(work, "empty.tumbalon"))), "written over without a yes")
        mark = len(prog.output())
        prog.menu(0)
        prog.wait_output(SAVE, start=mark, timeout=10)
        prog.type_console("empty.tumbalon\n")
        prog.wait_output("overwrite? [y/n] ", start=mark)
        prog.type_console("y\n")
        prog.wait_output("save done\n", start=mark)
        check(any(v != "0" for v in stacks(os.path.join(work, "empty.tumbalon"))), "not written after the yes")
        prog.key("Return")
        mark = len(prog.output())
        prog.key("ctrl+s")
        prog.wait_output("save done\n", start=mark)
        check("overwrite" not in prog.output()[mark:], "the scene's own file was asked about")

        # A link round in a circle is no file to save to.
        os.symlink("loop.tumbalon", os.path.join(work, "loop.tumbalon"))
        mark = len(prog.output())
        prog.menu(0)
        prog.wait_output(SAVE, start=mark, timeout=10)
        prog.type_console("loop.tumbalon\n")
        prog.wait_output("overwrite? [y/n] ", start=mark)
        prog.type_console("y\n")
        prog.wait_output("nothing was saved\n", start=mark)
        check("save done" not in prog.output()[mark:], "a save to a link loop reported as done")
        check(os.path.islink(os.path.join(work, "loop.tumbalon")), "the looping link was replaced")

        prog.key("Escape")
        check(prog.wait_exit() == 0, "exit status")
    finally:
        prog.stop()


if __name__ == "__main__":
    run(test)
