#!/bin/sh
# Builds a libFuzzer target from tests/fuzz/<name>.cpp and the modules it
# fuzzes (clang with address and undefined-behaviour sanitizers), then
# fuzzes it.
#   tools/fuzz.sh NAME SECONDS [extra libFuzzer options]
#   tools/fuzz.sh --build-all    builds every target and runs none; exits
#                                with 77 where clang++ is not installed
# NAME is the name of a file in tests/fuzz/ (bmp_reader, tga_reader,
# obj_reader, klotz_cache, catalogue_list, moving_parts, scene_file). The seed corpus
# tests/fuzz/corpus/NAME is read but never written; new inputs go to
# build-fuzz/NAME/corpus, crashes to build-fuzz/NAME/artifacts.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out_root=${FUZZ_OUT:-$root/build-fuzz}
cxx=${CXX:-clang++}
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined"

# Each target links only the module it fuzzes and those below it, as
# archives: the linker takes the objects the target needs and no more, so
# nothing of the sound or the window comes in.
modules_of() {
    case $1 in
        bmp_reader | tga_reader) echo "image io" ;;
        obj_reader | klotz_cache | catalogue_list | moving_parts) echo "klotz io" ;;
        scene_file) echo "scene klotz io" ;;
        *)
            echo "tools/fuzz.sh: no fuzz target $1 (tests/fuzz/$1.cpp has no module list here)" >&2
            return 1
            ;;
    esac
}

# Compiles src/MODULE into $out_root/lib/libMODULE.a, once per run.
build_module() {
    archive=$out_root/lib/lib$1.a
    if [ -e "$out_root/lib/.$1.done" ]; then return 0; fi
    objects=$out_root/obj/$1
    rm -rf "$objects" "$archive"
    mkdir -p "$objects" "$out_root/lib"
    # shellcheck disable=SC2086
    ls "$root/src/$1"/*.cpp | grep -v -e 'Gl\.cpp$' -e '/main[A-Za-z]*\.cpp$' |
        xargs -P "${JOBS:-2}" -I{} sh -c '"$0" $1 -fsanitize=fuzzer-no-link -I"$2/src" -c "$3" -o "$4/$(basename "$3" .cpp).o"' \
            "$cxx" "$flags" "$root" {} "$objects"
    ar rcs "$archive" "$objects"/*.o
    touch "$out_root/lib/.$1.done"
}

build_target() {
    name=$1
    out=$out_root/$name
    mkdir -p "$out/corpus" "$out/artifacts"
    libs=
    for module in $(modules_of "$name"); do
        build_module "$module"
        libs="$libs $out_root/lib/lib$module.a"
    done
    # shellcheck disable=SC2086
    "$cxx" $flags -fsanitize=fuzzer -I"$root/src" "$root/tests/fuzz/$name.cpp" $libs -o "$out/fuzz_$name"
}

if [ "${1:-}" = "--build-all" ]; then
    if ! command -v "$cxx" >/dev/null 2>&1; then
        echo "$cxx is not installed: the fuzz targets are not built (apt-get install clang)"
        exit 77
    fi
    mkdir -p "$out_root"
    echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' >"$out_root/probe.cpp"
    if ! "$cxx" -fsanitize=fuzzer "$out_root/probe.cpp" -o "$out_root/probe" 2>/dev/null; then
        echo "$cxx has no libFuzzer runtime: the fuzz targets are not built (apt-get install libclang-rt-14-dev)"
        exit 77
    fi
    rm -rf "$out_root/lib"
    for src in "$root"/tests/fuzz/*.cpp; do
        name=$(basename "$src" .cpp)
        build_target "$name"
        echo "built $out_root/$name/fuzz_$name"
    done
    exit 0
fi

if [ $# -lt 2 ]; then
    echo "usage: $0 NAME SECONDS [libFuzzer options]" >&2
    echo "       $0 --build-all" >&2
    exit 2
fi
name=$1
seconds=$2
shift 2
rm -rf "$out_root/lib"
build_target "$name"
out=$out_root/$name
# Small inputs keep the rate up: the interesting cases are near the start.
# Large inputs (the OBJ reader's fan of thousands of triangles) are in
# tests/fuzz/large/ and only replayed by the test suite.
exec "$out/fuzz_$name" -max_total_time="$seconds" -max_len="${MAX_LEN:-4096}" -rss_limit_mb=1024 \
    -artifact_prefix="$out/artifacts/" "$@" "$out/corpus" "$root/tests/fuzz/corpus/$name"
