#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine (headless).
set -eu
. "$(dirname "$0")/common.sh"
ensure_packages
build_tree
prepare_prefix "$BUILD/wine-test" null
cd "$BUILD"
ctest --output-on-failure -j "$(nproc)" "$@"
