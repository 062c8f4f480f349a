#!/usr/bin/env bash
# Installs what is missing, builds, and runs the grid's benchmarks under Wine (headless),
# printing their figures: the common operations on one table, each beside its floor
# (operations_bench), the table and its selection (grid_bench), painting and scrolling
# (paint_bench), select all and copy (clipboard_bench), select all, sorting and autosizing
# (table_ops_bench), and how the geometry scales with the rows (geometry_bench). Name one to
# run only that one; what follows its name goes to it (scripts/bench.sh operations_bench 10000).
set -eu
. "$(dirname "$0")/common.sh"
ensure_packages
build_tree
prepare_prefix "$BUILD/wine-test" null
for bench in ${1:-operations_bench grid_bench paint_bench clipboard_bench table_ops_bench geometry_bench}; do
    [ -f "$BUILD/bench/$bench.exe" ] || die "$bench.exe was not built"
    echo "== $bench"
    "$ROOT/scripts/wine-run" "$BUILD/bench/$bench.exe" "${@:2}"
done
