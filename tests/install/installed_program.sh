#!/bin/sh
# Installs the build into a scratch prefix, starts the installed program with a fresh home folder and
# checks that the user's library was laid out from the shipped one and passes the library check.
set -eu
build=$1
scratch=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$scratch"' EXIT
pid=
cmake --install "$build" --prefix "$scratch/usr" >/dev/null
mkdir "$scratch/home"
HOME="$scratch/home" XDG_DATA_HOME= XDG_CONFIG_HOME= QT_QPA_PLATFORM=offscreen "$scratch/usr/bin/vellumo" \
    >"$scratch/program.log" 2>&1 &
pid=$!
folder="$scratch/home/.local/share/Vellumo"
for _ in $(seq 1 150); do
    [ -f "$folder/.vellumo-shipped/.vellumo-manifest" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$scratch/program.log"; echo "the program ended at start-up"; exit 1; }
    sleep 0.2
done
[ -f "$folder/.vellumo-shipped/.vellumo-manifest" ] || { echo "no user library in $folder"; exit 1; }
# The main window came up on the user's library: once it is shown, the program takes its lock on its
# recovery copy.
for _ in $(seq 1 150); do
    ls "$folder/recovery/$pid"-*.lock >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || { cat "$scratch/program.log"; echo "the program ended before its window showed"; exit 1; }
    sleep 0.2
done
ls "$folder/recovery/$pid"-*.lock >/dev/null 2>&1 || { echo "the main window did not come up"; exit 1; }
kill -0 "$pid"
cmp "$folder/.vellumo-shipped/.vellumo-manifest" "$scratch/usr/share/vellumo/library/.vellumo-manifest"
"$scratch/usr/bin/vellumo-library" check "$folder"
"$scratch/usr/bin/vellumo-library" -C "$folder" list | grep -q '菜单导航'
[ -s "$folder/SINKNAME" ] && [ -d "$folder/简单复制" ]
# The shipped library itself is left as it was installed.
[ ! -e "$scratch/usr/share/vellumo/library/SINKNAME" ]
echo "installed program laid out $folder"
