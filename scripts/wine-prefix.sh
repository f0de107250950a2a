#!/usr/bin/env bash
# Prepares (once) the Wine prefix given as the first argument: initialises it and installs
# the fonts Wine ships, so "Tahoma", "MS Shell Dlg" and "Marlett" are the real faces.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
if [ ! -f "$prefix/.velmora-ready" ]; then
    mkdir -p "$prefix"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$prefix/.velmora-ready"
fi
