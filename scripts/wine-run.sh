#!/usr/bin/env bash
# Runs a Windows executable under wine64 with the project's quiet settings.
# WINEPREFIX must point at a prefix that scripts/wine-prefix.sh prepared.
set -e
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX
exec /usr/lib/wine/wine64 "$@"
