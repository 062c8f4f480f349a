#!/usr/bin/env bash
# Installs what is missing, builds, and opens GridDemo.exe under Wine with the options given
# (for example: scripts/demo.sh --fill numbered --WholeRowSelect=1; GridDemo --help lists
# them all). With a display the demo opens there. With none, it runs on a virtual X server:
# once its window is up, a screenshot goes to build/griddemo-screenshot.png, the status bar's
# text is printed, and the demo is closed.
set -eu
. "$(dirname "$0")/common.sh"
ensure_packages
build_tree
BIN=$BUILD/bin
[ -f "$BIN/GridDemo.exe" ] || die "GridDemo.exe was not built"
prepare_prefix "$BUILD/wine-app" x11

display_usable && exec wine "$BIN/GridDemo.exe" "$@"

# Headless: a virtual screen of our own; the demo and its driver share one virtual desktop.
start_virtual_screen
SHOT=$BUILD/griddemo-screenshot.png
STATUS=$BUILD/griddemo-status.txt
rm -f "$STATUS" "$STATUS.rect" "$STATUS.err"
in_desktop GridDemo "$BIN/GridDemo.exe" "$@"
in_desktop GridDemo "$BIN/GridDemoDriver.exe" shot "$(winepath -w "$STATUS")"
shoot_window "$STATUS" "$SHOT" "starting the demo"
in_desktop GridDemo "$BIN/GridDemoDriver.exe" close
for _ in $(seq 100); do pgrep -f GridDemo.exe >/dev/null || break; sleep 0.1; done
echo "Screenshot of the demo: $SHOT"
echo "Status bar: $(cat "$STATUS")"
