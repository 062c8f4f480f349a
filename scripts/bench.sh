#!/usr/bin/env bash
# Builds and runs the grid's benchmark under Wine (headless): time and memory of a table of
# 100,000 rows x 10 columns, of selecting all its cells and of clearing that selection.
set -eu
. "$(dirname "$0")/common.sh"
ensure_packages
build_tree
prepare_prefix "$BUILD/wine-test" null
exec "$ROOT/scripts/wine-run" "$BUILD/bench/grid_bench.exe" "$@"
