"""Runs a command in a private Xvfb: xvfb_run.py COMMAND [ARGS...]. Unlike
xvfb-run, the display number is chosen by Xvfb itself, so any number of
these can start side by side."""

import os
import subprocess
import sys

from harness import Xvfb

if __name__ == "__main__":
    xvfb = Xvfb()
    try:
        status = subprocess.call(sys.argv[1:], env=dict(os.environ, DISPLAY=xvfb.display))
    finally:
        xvfb.stop()
    sys.exit(status)
