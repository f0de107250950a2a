#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test:
# native, native with ASan/UBSan, win64 under wine64 (inside Xvfb), and builds the shipped win32.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh || exit 1

jobs=$(nproc)
passed=0
failed=0
summary=()

run_ctest() {  # preset, [wrapper...]
    local preset=$1; shift
    local log="build/$preset/ctest.log"
    "$@" ctest --preset "$preset" 2>&1 | tee "$log"
    local line p t
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n 1)
    p=$(sed -E 's/.*passed, ([0-9]+) tests failed out of ([0-9]+).*/\2 \1/' <<<"$line")
    t=${p% *}; f=${p#* }
    if [ -z "$line" ]; then t=0; f=1; fi
    passed=$((passed + t - f)); failed=$((failed + f))
    summary+=("$preset: $((t - f)) of $t passed")
}

build() {  # preset
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"
}

cleanup() {
    [ -d build/win64/wineprefix ] && WINEPREFIX=$root/build/win64/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null
    true
}
trap cleanup EXIT

for preset in native native-asan; do
    if build "$preset"; then run_ctest "$preset"; else failed=$((failed + 1)); summary+=("$preset: build failed"); fi
done

if build win64; then
    bash scripts/wine-prefix.sh "$root/build/win64/wineprefix"
    run_ctest win64 xvfb-run -a -s "-screen 0 1280x1024x24"
else
    failed=$((failed + 1)); summary+=("win64: build failed")
fi

if build win32; then summary+=("win32: Velmora.exe built"); else failed=$((failed + 1)); summary+=("win32: build failed"); fi

printf '%s\n' "${summary[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
