#!/usr/bin/env bash
# Prepares (once) the Wine prefix given as the first argument: initialises it and installs
# the fonts Wine ships, so "Tahoma", "MS Shell Dlg" and "Marlett" are the real faces.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
if [ ! -f "$prefix/.velmora-ready-unmanaged" ]; then
    mkdir -p "$prefix"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    # Xvfb runs no window manager, and a managed window's close waits 2 s for one to confirm.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    touch "$prefix/.velmora-ready-unmanaged"
fi
