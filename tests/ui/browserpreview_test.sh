#!/usr/bin/env bash
# A real browser shows the preview: headless Chromium opens the preview.html that Animate wrote
# beside the test programs (commands_test runs first) and takes a screenshot. The first frame,
# 40 x 30 of (32, 192, 64), must be at the page's 8-pixel margin on the white page.
set -uo pipefail
bin=$1 shot=$2/browser-preview.png
[ -f "$bin/preview.html" ] && [ -f "$bin/preview.gif" ] || { echo "FAIL: no preview.html and preview.gif in $bin"; exit 1; }
browser=$(command -v chromium) || { echo "FAIL: chromium is not installed (scripts/setup.sh installs it)"; exit 1; }
profile=$(mktemp -d)
rm -f "$shot"
timeout 90 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --screenshot="$shot" --window-size=320,240 "file://$bin/preview.html" >/dev/null 2>&1
rm -rf "$profile"
[ -f "$shot" ] || { echo "FAIL: chromium wrote no screenshot"; exit 1; }
failed=0
for probe in "frame top left:8:8:32:192:64" "frame middle:28:23:32:192:64" "frame bottom right:47:37:32:192:64" \
             "page background:300:200:255:255:255"; do
    IFS=: read -r name x y r g b <<<"$probe"
    read -r gr gg gb < <(/usr/bin/convert "$shot" -format "%[fx:int(255*p{$x,$y}.r)] %[fx:int(255*p{$x,$y}.g)] %[fx:int(255*p{$x,$y}.b)]" info:)
    (( (${gr:-999} - r) ** 2 <= 9 && (${gg:-999} - g) ** 2 <= 9 && (${gb:-999} - b) ** 2 <= 9 )) && echo "ok: $name at ($x, $y)" ||
        { echo "FAIL: $name at ($x, $y) is ($gr $gg $gb), expected ($r $g $b)"; failed=$((failed + 1)); }
done
echo "screenshot: $shot; $failed of 4 failed"
[ "$failed" -eq 0 ]
