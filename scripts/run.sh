#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine.
# Without a display it starts it under Xvfb, saves a screenshot of the screen and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)" --target Velmora
prefix=$root/build/win64/wineprefix
bash scripts/wine-prefix.sh "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
exe=$root/build/win64/Velmora.exe

if [ -n "${DISPLAY:-}" ]; then
    exec /usr/lib/wine/wine64 "$exe"
fi

shot=$root/build/win64/velmora-screenshot.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    /usr/lib/wine/wine64 explorer /desktop=velmora,1024x768 "$1" &
    for _ in $(seq 1 40); do sleep 0.5; xwininfo -root -tree 2>/dev/null | grep -q "Velmora" && break; done
    sleep 2
    /usr/bin/import -window root "$2"
    /usr/lib/wine/wineserver -k
' _ "$exe" "$shot"
echo "Velmora started under Xvfb; screenshot saved to $shot"
