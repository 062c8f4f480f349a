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

if [ -n "${DISPLAY:-}" ] && xwd -root -silent -display "$DISPLAY" >/dev/null 2>&1; then
    exec wine "$BIN/GridDemo.exe" "$@"
fi

# Headless: a virtual screen of our own.
n=77
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
export DISPLAY=":$n"

SHOT=$BUILD/griddemo-screenshot.png
STATUS=$BUILD/griddemo-status.txt
rm -f "$STATUS" "$STATUS.rect" "$STATUS.err"
# The demo and its driver share one virtual desktop (with window frames).
desktop() { (setsid wine explorer /desktop=GridDemo,1200x900 "$@" </dev/null >/dev/null 2>&1 &); }
desktop "$BIN/GridDemo.exe" "$@"
desktop "$BIN/GridDemoDriver.exe" shot "$(winepath -w "$STATUS")"
for _ in $(seq 1200); do [ -e "$STATUS.rect" ] || [ -e "$STATUS.err" ] && break; sleep 0.1; done
[ -e "$STATUS.err" ] && die "the demo did not come up: $(cat "$STATUS.err") (a bad option shows its message box)"
[ -e "$STATUS.rect" ] || die "the demo did not come up"
read -r x y w h <"$STATUS.rect"
xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage "$SHOT"
desktop "$BIN/GridDemoDriver.exe" close
for _ in $(seq 100); do pgrep -f GridDemo.exe >/dev/null || break; sleep 0.1; done
echo "Screenshot of the demo: $SHOT"
echo "Status bar: $(cat "$STATUS")"
