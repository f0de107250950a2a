#!/usr/bin/env bash
# Builds the shipped 32-bit programs and gathers them into build/release/:
#   Velmora.exe, velmora-gif.exe, Velmora.chm (help placeholder) and LICENSE.
# Usage: bash scripts/release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/release
objects=$root/build/release-objects

bash scripts/setup.sh >/dev/null
cmake --preset win32 -B "$objects" >/dev/null
cmake --build "$objects" -j "$(nproc)" --target Velmora velmora-gif

rm -rf "$out"
mkdir -p "$out"
cp "$objects/Velmora.exe" "$objects/velmora-gif.exe" "$out/"
i686-w64-mingw32-strip "$out/Velmora.exe" "$out/velmora-gif.exe"

# Help > Help opens Velmora.chm beside the program. Until the real help is written, the file is a
# plain-text note under that name, so the command finds a file and a reader sees what it is.
cat > "$out/Velmora.chm" <<'NOTE'
Velmora help

The full help file is not written yet. This placeholder stands where the compiled help
will go. Velmora edits animated GIF files: File opens and saves them, Image adds, deletes
and moves frames, Animation plays them; the Global, Image and Comment panels edit the
animation, the selected frame and the comments. velmora-gif.exe is the command-line
companion: run it without arguments for its usage.
NOTE

cat > "$out/LICENSE" <<'LICENSE'
Velmora
Copyright (c) 2026 the Velmora developers

Permission is hereby granted, free of charge, to any person obtaining a copy of this
software and associated documentation files (the "Software"), to deal in the Software
without restriction, including without limitation the rights to use, copy, modify, merge,
publish, distribute, sublicense, and/or sell copies of the Software, and to permit persons
to whom the Software is furnished to do so, subject to the following conditions:

The above copyright notice and this permission notice shall be included in all copies or
substantial portions of the Software.

THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED,
INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR
PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE
FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR
OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER
DEALINGS IN THE SOFTWARE.
LICENSE

# The shipped programs must be 32-bit and need nothing beyond what Windows has.
for exe in "$out/Velmora.exe" "$out/velmora-gif.exe"; do
    i686-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386' || { echo "$exe is not 32-bit" >&2; exit 1; }
done
ls -l "$out"
