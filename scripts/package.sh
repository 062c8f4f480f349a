#!/usr/bin/env bash
# Installs what is missing, builds, and makes the packages for workstations in build/dist:
# the installer CardCheck-Setup-<version>.exe and CardCheck-<version>.zip, which holds the
# same files. The version is the program's own (res/version.h, its version resource).
set -eu
. "$(dirname "$0")/common.sh"
ensure_packages
build_tree
log=$BUILD/packages.log
cmake --build "$BUILD" --target packages >"$log" 2>&1 || { cat "$log" >&2; die "packaging failed (full log: $log)"; }
while read -r made; do
    [ -f "$made" ] || die "$made was not made"
    echo "$made"
done <"$BUILD/dist/packages.txt"
