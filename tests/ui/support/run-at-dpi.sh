#!/usr/bin/env bash
# Runs UI tests with Wine set to another DPI, on a screen of their own, then sets it back.
#   usage: run-at-dpi.sh DPI WIDTHxHEIGHT TEST.exe GTEST_FILTER
# The DPI is a setting of the whole Wine prefix, so this test must run alone (RUN_SERIAL).
# 144 DPI on a 1920 x 1080 screen is the common "150 %" laptop.
set -euo pipefail
dpi=$1 screen=$2 exe=$3 filter=$4
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
if [ -z "${VELMORA_DPI_SCREEN:-}" ]; then
    # Every Wine process of the run, the registry edits included, talks to the one new screen.
    VELMORA_DPI_SCREEN=1 exec xvfb-run -a -s "-screen 0 ${screen}x24" bash "$0" "$@"
fi
wine=/usr/lib/wine/wine64
key='HKCU\Control Panel\Desktop'
restore() { "$wine" reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true; }
trap restore EXIT
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
VELMORA_EXPECT_DPI=$dpi "$wine" "$exe" --gtest_filter="$filter"
