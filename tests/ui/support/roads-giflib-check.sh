#!/usr/bin/env bash
# Builds the giflib checker natively and runs it over the files the roads test saved.
# Usage: roads-giflib-check.sh <test output folder> <scratch folder>
set -euo pipefail
here=$(dirname "$0")
mkdir -p "$2"
gcc -O1 -Wall -o "$2/roads-giflib-check" "$here/roads-giflib-check.c" -lgif
"$2/roads-giflib-check" "$1/roads" delay pictures palette
