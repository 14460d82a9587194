#!/usr/bin/env bash
# Frame figures of the real window, as `name: value` lines. Run from the
# repository folder after a build: tools/frame-bench.sh [CASE...]
# (cases: building demo4 demo4_sparks demo4_plain first_demo4 100_balls 400_balls
# 300_shot_balls).
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 tools/frame_bench.py "$@"
