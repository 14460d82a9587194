#!/bin/sh
# Builds a libFuzzer target from tests/fuzz/<name>.cpp and the program's
# GL-free sources (clang with address and undefined-behaviour sanitizers),
# then fuzzes it.
#   tools/fuzz.sh NAME SECONDS [extra libFuzzer options]
# NAME is one of bmp_reader, tga_reader, obj_reader, klotz_cache, scene_file. The seed corpus tests/fuzz/corpus/NAME is
# read but never written; new inputs go to build-fuzz/NAME/corpus, crashes to
# build-fuzz/NAME/artifacts.
set -eu
if [ $# -lt 2 ]; then
    echo "usage: $0 NAME SECONDS [libFuzzer options]" >&2
    exit 2
fi
name=$1
seconds=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_OUT:-$root/build-fuzz}/$name
mkdir -p "$out/corpus" "$out/artifacts"
sources=$(ls "$root"/src/*/*.cpp | grep -v -e 'Gl\.cpp$' -e '/main[A-Za-z]*\.cpp$')
# shellcheck disable=SC2086
${CXX:-clang++} -std=c++17 -g -O1 -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" $(pkg-config --cflags bullet) "$root/tests/fuzz/$name.cpp" $sources \
    $(pkg-config --libs bullet) -o "$out/fuzz_$name"
# Keep each input small: the interesting cases are near the start. The OBJ
# reader's seeds include a fan of thousands of triangles on one vertex
# (about 110 KB), which a shorter limit would cut.
case $name in
    obj_reader) max_len=200000 ;;
    *) max_len=4096 ;;
esac
exec "$out/fuzz_$name" -max_total_time="$seconds" -max_len=${MAX_LEN:-$max_len} -rss_limit_mb=1024 \
    -artifact_prefix="$out/artifacts/" "$@" "$out/corpus" "$root/tests/fuzz/corpus/$name"
