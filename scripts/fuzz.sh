#!/usr/bin/env bash
# Builds one fuzz target (fuzz/NAME_fuzzer.cpp) with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs it for the given number of seconds on its corpus.
#   usage: scripts/fuzz.sh NAME SECONDS [BUILD_DIR [LIBFUZZER FLAGS...]]   e.g. scripts/fuzz.sh read 600
# New corpus entries go to fuzz/work/NAME (git-ignored); the seeds in fuzz/corpus/NAME_fuzzer
# and tests/data are read, not changed. Crashing inputs land in BUILD_DIR/NAME-crashes/.
# The build defines VELMORA_FUZZ_LIMITS, which lowers the picture limits (gif/limits.h) so that one
# input costs microseconds; the tests exercise the full limits. Extra libFuzzer flags may follow the
# build folder (e.g. -runs=10000000). FUZZ_TIMEOUT is in seconds (default 10); FUZZ_MAX_LEN overrides
# the target's longest input.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ $# -lt 2 ]; then
    echo "usage: scripts/fuzz.sh NAME SECONDS [BUILD_DIR]; targets:" >&2
    for f in fuzz/*_fuzzer.cpp; do n=${f#fuzz/}; echo "  ${n%_fuzzer.cpp}" >&2; done
    exit 1
fi
name=$1
seconds=$2
build=${3:-$root/build/fuzz}
shift $(($# < 3 ? $# : 3))
source=fuzz/${name}_fuzzer.cpp
[ -f "$source" ] || { echo "fuzz.sh: no $source" >&2; exit 1; }

# The core's portable sources, as the velmora_core library collects them.
mapfile -t core < <(ls gif/*.cpp imaging/*.cpp palette/*.cpp 2>/dev/null | grep -v '_win\.cpp$')

mkdir -p "$build/obj" "$build/$name-crashes" "fuzz/work/$name"
flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
    -fsanitize-coverage-ignorelist="$root/fuzz/coverage-ignore.txt" -DVELMORA_FUZZ_LIMITS -I"$root")
objects=()
for src in "${core[@]}"; do
    obj="$build/obj/$(echo "$src" | tr / _).o"
    # Rebuilt when its source or any core header is newer (the limits live in a header).
    if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find gif imaging palette -name '*.h' -newer "$obj")" ]; then
        clang++ "${flags[@]}" -c "$src" -o "$obj"
    fi
    objects+=("$obj")
done
clang++ "${flags[@]}" -fsanitize=fuzzer "$source" "${objects[@]}" -o "$build/${name}_fuzzer"

# Inputs no longer than each target needs: a round trip costs four passes over its input, and
# palette files and PPM headers show every path within a kilobyte.
case $name in
    roundtrip) max_len=4096 ;;
    palette | ppm) max_len=1024 ;;
    *) max_len=65536 ;;
esac

seeds=()
[ -d "fuzz/corpus/${name}_fuzzer" ] && seeds+=("fuzz/corpus/${name}_fuzzer")
[ -d tests/data ] && seeds+=(tests/data)
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"$build/${name}_fuzzer" -max_total_time="$seconds" -max_len="${FUZZ_MAX_LEN:-$max_len}" -timeout="${FUZZ_TIMEOUT:-10}" -rss_limit_mb=2560 \
    -print_final_stats=1 -artifact_prefix="$build/$name-crashes/" "$@" "fuzz/work/$name" "${seeds[@]}"
