#!/usr/bin/env bash
# Fails when an include points against the layers: portable core (gif edit imaging palette)
# <- Win32 bridges (win32) <- windows (ui) <- application (app); cli stands on the core alone.
# Portable files include no Windows header; a platform's own half of a unit is named *_win or *_posix.
set -uo pipefail
cd "$(dirname "$0")/.."
rank() {
    case $1 in
        gif | edit | imaging | palette) echo 0 ;;
        win32 | cli) echo 1 ;;
        ui) echo 2 ;;
        app) echo 3 ;;
        *) echo -1 ;;
    esac
}
bad=0
for file in $(git ls-files -co --exclude-standard 'gif/*' 'edit/*' 'imaging/*' 'palette/*' 'win32/*' 'ui/*' 'app/*' 'cli/*' | grep -E '\.(h|cpp)$'); do
    folder=${file%%/*}
    own=$(rank "$folder")
    while IFS= read -r target; do
        other=$(rank "${target%%/*}")
        if [ "$other" -gt "$own" ] || { [ "$folder" = cli ] && [ "${target%%/*}" != cli ] && [ "$other" -ne 0 ]; }; then
            echo "$file includes $target, a layer above it"
            bad=1
        fi
    done < <(sed -nE 's/^#include "([a-z0-9]+\/[^"]+)".*/\1/p' "$file")
    if [ "$own" -eq 0 ] && [[ ! $file =~ _win\.(h|cpp)$ ]] &&
        grep -qE '^#include <(windows|gdiplus|objidl|commctrl)\.h>|^#include "resource\.h"' "$file"; then
        echo "$file is portable but includes a Windows header"
        bad=1
    fi
done
[ "$bad" -eq 0 ] && echo "layers: every include points down"
exit "$bad"
