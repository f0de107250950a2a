#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine; files named after
# the command are opened as "Open with" would (bash scripts/run.sh animation.gif).
# Without a display it runs it under Xvfb inside a Wine virtual desktop (so the window has its
# title bar), saves a screenshot of the main window, says where, and ends everything it started.
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

stop_wine() { /usr/lib/wine/wineserver -k 2>/dev/null || true; }

if [ -n "${DISPLAY:-}" ]; then
    trap stop_wine EXIT
    /usr/lib/wine/wine64 "$exe" "$@"
    exit 0
fi

shot=$root/build/win64/velmora-screenshot.png
rm -f "$shot"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    exe=$1 shot=$2
    shift 2
    /usr/lib/wine/wine64 explorer /desktop=velmora,1280x800 "$exe" "$@" &
    # The main window opens centred on the desktop; wait until its middle stops being plain
    # desktop colour, then give the children a moment to paint.
    for _ in $(seq 1 60); do
        sleep 0.5
        colours=$(/usr/bin/import -window root -crop 400x300+150+150 +repage -format "%k" info: 2>/dev/null || echo 0)
        [ "${colours:-0}" -gt 8 ] && break
    done
    sleep 2
    /usr/bin/import -window root "$shot"
    /usr/lib/wine/wineserver -k
' _ "$exe" "$shot" "$@"
stop_wine
if [ -f "$shot" ]; then
    echo "Velmora started under Xvfb; screenshot of the main window saved to $shot"
else
    echo "Velmora started under Xvfb, but no screenshot could be taken" >&2
    exit 1
fi
