#!/usr/bin/env bash
# A real browser shows the preview: headless Chromium opens the preview.html that Animate wrote
# beside the test programs (commands_test runs first), takes a screenshot, and the first frame's
# pixels must be there. The frame is 40 x 30 of (32, 192, 64) at the picture's top left; the page
# has the browser's default 8-pixel margin and a white background.
set -uo pipefail
bin=$1
out=$2
page=$bin/preview.html
if [ ! -f "$page" ] || [ ! -f "$bin/preview.gif" ]; then
    echo "FAIL: no preview.html and preview.gif in $bin"
    exit 1
fi
browser=$(command -v chromium || true)
if [ -z "$browser" ]; then
    echo "FAIL: chromium is not installed (scripts/setup.sh installs it)"
    exit 1
fi

profile=$(mktemp -d)
shot=$out/browser-preview.png
rm -f "$shot"
timeout 90 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --screenshot="$shot" --window-size=320,240 "file://$page" >/dev/null 2>&1
rm -rf "$profile"
if [ ! -f "$shot" ]; then
    echo "FAIL: chromium wrote no screenshot"
    exit 1
fi

pixel() {  # x y -> "r g b"
    /usr/bin/convert "$shot" -format '%[fx:int(255*p{'"$1,$2"'}.r)] %[fx:int(255*p{'"$1,$2"'}.g)] %[fx:int(255*p{'"$1,$2"'}.b)]' info:
}

failed=0
check() {  # name x y r g b
    local got r g b
    got=$(pixel "$2" "$3")
    read -r r g b <<<"$got"
    if (( r - $4 > 3 || $4 - r > 3 || g - $5 > 3 || $5 - g > 3 || b - $6 > 3 || $6 - b > 3 )); then
        echo "FAIL: $1 at ($2, $3) is ($got), expected ($4 $5 $6)"
        failed=$((failed + 1))
    else
        echo "ok: $1 at ($2, $3) is ($got)"
    fi
}
# Corners and middle of the first frame, shifted by the page margin.
check "frame top left" 8 8 32 192 64
check "frame middle" 28 23 32 192 64
check "frame bottom right" 47 37 32 192 64
# Far outside the picture: the page itself.
check "page background" 300 200 255 255 255
echo "screenshot: $shot"
if [ "$failed" -eq 0 ]; then echo "4 passed, 0 failed"; else echo "$((4 - failed)) passed, $failed failed"; fi
[ "$failed" -eq 0 ]
