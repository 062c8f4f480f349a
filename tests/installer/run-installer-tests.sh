#!/usr/bin/env bash
# The installer test: builds the installer and the zip, unpacks the zip, makes a fresh Wine
# prefix (headless) and runs the test program there, which installs, runs and uninstalls
# the tool. Arguments: installer_tests.exe, CardCheckDemo.exe, the installer, the zip.
set -eu
. "$(dirname "$0")/../../scripts/common.sh"
tests=$1 demo=$2 setup=$3 zip=$4

log=$BUILD/packages.log
cmake --build "$BUILD" --target packages >"$log" 2>&1 || { cat "$log" >&2; die "packaging failed"; }

work=$BUILD/installer-test
rm -rf "$work"
mkdir -p "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
unzipped=$(echo "$work"/unzipped/*)

# Fresh every time: nothing of an earlier run can make an install look right.
prefix=$BUILD/wine-installer
if [ -d "$prefix" ]; then WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$prefix"; fi
prepare_prefix "$prefix" null
trap 'wineserver -k 2>/dev/null || true' EXIT

CARDCHECK_SETUP=$(winepath -w "$setup") CARDCHECK_UNZIPPED=$(winepath -w "$unzipped") \
CARDCHECK_DEMO=$(winepath -w "$demo") \
    wine "$tests" --gtest_color=no </dev/null >"$work/out.txt" 2>"$work/err.txt" && rc=0 || rc=$?
cat "$work/out.txt"; cat "$work/err.txt" >&2
# A failed run's prefix stays for a look; a passed one only takes room.
if [ $rc = 0 ]; then wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; rm -rf "$prefix"; fi
exit $rc
