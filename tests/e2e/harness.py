"""Drives the real tumbalon window in a private Xvfb, as a user would:
key presses and clicks through xdotool, the console through pipes, and
screenshots read as pixels."""

import argparse
import ctypes
import ctypes.util
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--program", required=True)
    p.add_argument("--sim", required=False)
    p.add_argument("--data", required=True)
    return p.parse_args()


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Xvfb:
    def __init__(self, width=1024, height=768):
        # Xvfb picks a free display itself and reports it on the pipe, so
        # tests running side by side never share one.
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        deadline = time.time() + 20
        with os.fdopen(read_end, "rb") as pipe:
            while time.time() < deadline and not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            self.proc.kill()
            raise Failure("could not start Xvfb")
        self.display = ":" + number.strip().decode()

    def stop(self):
        if self.proc:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()


class Program:
    """The program started in a scratch copy of the data folder, or in the
    folder of an earlier run (workdir), which then stays."""

    def __init__(self, program, data, display, extra_files=None, copy_caches=False, args=(), workdir=None,
                 preexec_fn=None):
        self.own_workdir = workdir is None
        self.workdir = workdir or tempfile.mkdtemp(prefix="tumbalon-e2e-")
        for name in os.listdir(data) if self.own_workdir else []:
            src = os.path.join(data, name)
            if os.path.isfile(src) and (copy_caches or not name.endswith(".klotz")):
                shutil.copy(src, self.workdir)
        for name, content in (extra_files or {}).items():
            with open(os.path.join(self.workdir, name), "w") as f:
                f.write(content)
        self.env = dict(os.environ, DISPLAY=display)
        self.display = display
        # Line-buffered stdout so the console can be read while the program runs.
        self.proc = subprocess.Popen(["stdbuf", "-oL", "-eL", os.path.abspath(program)] + list(args),
                                     cwd=self.workdir, env=self.env, preexec_fn=preexec_fn,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self._out = bytearray()
        self._err = bytearray()
        self._lock = threading.Lock()
        threading.Thread(target=self._pump, args=(self.proc.stdout, self._out), daemon=True).start()
        threading.Thread(target=self._pump, args=(self.proc.stderr, self._err), daemon=True).start()
        self.window = None

    def _pump(self, stream, buf):
        while True:
            chunk = stream.read1(4096) if hasattr(stream, "read1") else stream.read(1)
            if not chunk:
                return
            with self._lock:
                buf.extend(chunk)

    def output(self):
        with self._lock:
            return self._out.decode("latin-1")

    def errors(self):
        with self._lock:
            return self._err.decode("latin-1")

    def wait_output(self, text, timeout=60, start=0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if text in self.output()[start:]:
                return
            if self.proc.poll() is not None:
                time.sleep(0.2)
                if text in self.output()[start:]:
                    return
                raise Failure("program ended (status %s) before printing %r; output:\n%s\nerrors:\n%s"
                              % (self.proc.returncode, text, self.output()[-3000:], self.errors()[-3000:]))
            time.sleep(0.05)
        raise Failure("timed out waiting for %r; output so far:\n%s" % (text, self.output()[-3000:]))

    def xdotool(self, *args):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, capture_output=True, text=True,
                           timeout=30)
        return r.stdout.strip()

    def find_window(self, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            ids = self.xdotool("search", "--name", "tumbalon 1.0b").split()
            if ids:
                self.window = ids[0]
                # With no window manager the window sits at (-1, -1), partly
                # off the screen, which would clip screenshots.
                self.xdotool("windowmove", "--sync", self.window, 20, 20)
                time.sleep(0.3)
                return self.window
            time.sleep(0.1)
        raise Failure("no tumbalon window appeared")

    def title(self):
        return self.xdotool("getwindowname", self.window)

    def geometry(self):
        out = self.xdotool("getwindowgeometry", self.window)
        for line in out.splitlines():
            line = line.strip()
            if line.startswith("Geometry:"):
                w, h = line.split(":", 1)[1].strip().split("x")
                return int(w), int(h)
        raise Failure("no geometry: " + out)

    def position(self):
        out = self.xdotool("getwindowgeometry", self.window)
        for line in out.splitlines():
            line = line.strip()
            if line.startswith("Position:"):
                xy = line.split(":", 1)[1].strip().split()[0]
                x, y = xy.split(",")
                return int(x), int(y)
        raise Failure("no position: " + out)

    def focus(self):
        self.xdotool("windowfocus", "--sync", self.window)

    def key(self, *keys, delay=0.15):
        self.focus()
        for k in keys:
            self.xdotool("key", k)
            time.sleep(delay)

    def type_console(self, text):
        self.proc.stdin.write(text.encode())
        self.proc.stdin.flush()

    def click(self, x, y, button=1):
        """Click at window-relative pixel (x, y) of the main window."""
        self.xdotool("mousemove", "--window", self.window, x, y)
        time.sleep(0.1)
        self.xdotool("click", button)
        time.sleep(0.2)

    def menu(self, entry):
        """Chooses entry (0 save, 1 load, 2 clear, 3 toggle wireframe) of the
        middle-button menu: the button opens it, a left click picks."""
        x, y = 150, 100
        self.xdotool("mousemove", "--window", self.window, x, y)
        time.sleep(0.2)
        self.xdotool("mousedown", 2)
        time.sleep(0.2)
        for _ in range(3):
            self.xdotool("mousemove_relative", 2, 2)
            time.sleep(0.05)
        self.xdotool("mouseup", 2)
        # Entries are about 25 pixels high, starting where the menu opened.
        ex, ey = x + 20, y + 12 + 25 * entry
        self.xdotool("mousemove", "--window", self.window, ex, ey)
        # Click only once the menu is on the screen (a loaded machine may take
        # a moment to map it): its entries are grey or white, not the scene.
        wx, wy = self.position()
        deadline = time.time() + 10
        while time.time() < deadline:
            shot = self.screen()
            row = [shot.pixel(wx + ex + dx, wy + ey) for dx in range(0, 100, 5)]
            if sum(1 for p in row if min(p) > 150 and max(p) - min(p) < 20) >= len(row) // 2:
                break
            time.sleep(0.2)
        time.sleep(0.2)
        self.xdotool("click", 1)
        time.sleep(0.3)

    def screen(self):
        """The whole screen, menus included."""
        xwd = subprocess.run(["xwd", "-silent", "-root"], env=self.env, capture_output=True, timeout=30).stdout
        ppm = subprocess.run(["convert", "xwd:-", "ppm:-"], input=xwd, capture_output=True, timeout=30).stdout
        return Image(ppm)

    def resize(self, width, height):
        self.xdotool("windowsize", "--sync", self.window, width, height)
        time.sleep(0.5)

    def screenshot(self):
        """The main window as rows of (r, g, b) tuples."""
        xwd = subprocess.run(["xwd", "-silent", "-id", self.window], env=self.env, capture_output=True,
                             timeout=30).stdout
        ppm = subprocess.run(["convert", "xwd:-", "ppm:-"], input=xwd, capture_output=True, timeout=30).stdout
        return Image(ppm)

    def save_screenshot(self, path):
        subprocess.run(["import", "-window", self.window, path], env=self.env, timeout=30)

    def close_window(self):
        """Asks the main window to close, as a window manager's close button
        does: a WM_DELETE_WINDOW message (this xdotool has no windowclose)."""
        x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

        class Event(ctypes.Union):  # XEvent: 24 longs
            _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

        display = x11.XOpenDisplay(self.display.encode())
        check(display, "could not open the display")
        event = Event()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = int(self.window)
        event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(display, int(self.window), 0, 0, ctypes.byref(event))
        x11.XFlush(display)
        x11.XCloseDisplay(display)

    def wait_exit(self, timeout=20):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("program did not exit; output:\n" + self.output()[-2000:])

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()
        if self.own_workdir:
            shutil.rmtree(self.workdir, ignore_errors=True)


class Image:
    def __init__(self, ppm):
        # P6 <w> <h> <max>\n<bytes>
        parts = []
        i = 0
        while len(parts) < 4:
            while ppm[i:i + 1].isspace():
                i += 1
            if ppm[i:i + 1] == b"#":
                while ppm[i:i + 1] != b"\n":
                    i += 1
                continue
            j = i
            while not ppm[j:j + 1].isspace():
                j += 1
            parts.append(ppm[i:j])
            i = j
        i += 1
        check(parts[0] == b"P6", "screenshot is not a PPM image")
        self.width, self.height = int(parts[1]), int(parts[2])
        self.data = ppm[i:]

    def pixel(self, x, y):
        o = 3 * (y * self.width + x)
        return tuple(self.data[o:o + 3])

    def count(self, predicate, x0=0, y0=0, x1=None, y1=None):
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        n = 0
        for y in range(y0, y1):
            for x in range(x0, x1):
                if predicate(self.pixel(x, y)):
                    n += 1
        return n


def near(colour, target, tolerance=12):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, target))


def run(test):
    """Runs test(args, xvfb) and reports like a test runner."""
    args = parse_args()
    xvfb = Xvfb()
    try:
        test(args, xvfb)
    except Failure as e:
        print("FAILED:", e)
        sys.exit(1)
    finally:
        xvfb.stop()
    print("1 passed, 0 failed")
