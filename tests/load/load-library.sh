#!/usr/bin/env bash
# Lays out the shipped library into FOLDER, makes COUNT packages from its effects and installs them all
# with the library tool; then the library check must pass and every package be listed.
# usage: load-library.sh LAYOUT-TOOL LIBRARY-TOOL MAKEPACKAGES SOURCE-LIBRARY FOLDER COUNT
set -euo pipefail
layout=$1 tool=$2 make=$3 source=$4 folder=$5 count=$6
rm -rf "$folder" "$folder.packages"
"$layout" "$source" "$folder" >/dev/null
before=$("$tool" -C "$folder" list | wc -l)
"$make" "$folder" "$folder.packages" "$count"
find "$folder.packages" -name '*.gx' -print0 | sort -zV | xargs -0 "$tool" -C "$folder" install
"$tool" check "$folder"
after=$("$tool" -C "$folder" list | wc -l)
echo "load: $count packages installed, effects listed $before -> $after"
[ "$after" -eq $((before + count)) ]
