#!/usr/bin/env bash
# Installs what is missing, builds, and runs the grid's paint benchmark under Wine
# (headless), printing its figures.
set -eu
. "$(dirname "$0")/common.sh"
ensure_packages
build_tree
prepare_prefix "$BUILD/wine-test" null
[ -f "$BUILD/bench/paint_bench.exe" ] || die "paint_bench.exe was not built"
exec "$ROOT/scripts/wine-run" "$BUILD/bench/paint_bench.exe"
