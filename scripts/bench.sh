#!/usr/bin/env bash
# Runs every benchmark of the native build against its peer, in one run, on the same inputs.
# Installs what the benchmarks need (Debian's mate-backgrounds for real photographs), turns the
# photographs into 1920x1080 PPM pictures with ImageMagick, builds the native preset and runs each
# bench/*_bench executable without arguments, with VELMORA_BENCH_DIR set to the pictures' folder
# and VELMORA_BENCH_PHOTOS to the pictures (paths separated by ':').
#
#   bash scripts/bench.sh              # build/native
#   VELMORA_BUILD_DIR=build-me/native bash scripts/bench.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

bench_packages=(mate-backgrounds imagemagick)
missing=()
for p in "${bench_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "bench: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

build=${VELMORA_BUILD_DIR:-build/native}
cmake --preset native -B "$build" >/dev/null
cmake --build "$build" -j 2

mkdir -p "$build/bench-pictures"
pictures=$(cd "$build/bench-pictures" && pwd)
photos=/usr/share/backgrounds/mate/nature
inputs=()
for name in LadyBird RainDrops Storm Dune TwoWings; do
    out=$pictures/$(tr '[:upper:]' '[:lower:]' <<<"$name").ppm
    if [ ! -s "$out" ]; then
        # Fill 1920x1080 and crop the overflow, so no photograph is distorted.
        /usr/bin/convert "$photos/$name.jpg" -resize '1920x1080^' -gravity center -extent 1920x1080 "$out"
    fi
    inputs+=("$out")
done

export VELMORA_BENCH_DIR=$pictures
VELMORA_BENCH_PHOTOS=$(IFS=:; echo "${inputs[*]}")
export VELMORA_BENCH_PHOTOS
status=0
for bench in "$build"/bench/*_bench; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" || status=1
done
exit $status
