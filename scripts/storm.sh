#!/usr/bin/env bash
# Installs what is missing, builds, and runs the grid's storm under Wine (headless): a seeded
# random stream of messages with the grid's invariants checked after every 500. Default:
# 1,000,000 messages with a new seed, printed first; give the seed to replay a run.
#   scripts/storm.sh [messages] [seed]
set -eu
. "$(dirname "$0")/common.sh"
messages=${1:-1000000}
seed=${2:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
echo "storm: seed $seed, $messages messages (replay: scripts/storm.sh $messages $seed)"
ensure_packages
build_tree
prepare_prefix "$BUILD/wine-test" null
[ -f "$BUILD/tests/storm/grid_storm.exe" ] || die "grid_storm.exe was not built"
start=$(date +%s)
status=0
"$ROOT/scripts/wine-run" "$BUILD/tests/storm/grid_storm.exe" --gtest_color=no "--messages=$messages" "--seed=$seed" ||
    status=$?
echo "storm: seed $seed, $messages messages, $(( $(date +%s) - start )) s, exit $status"
exit $status
