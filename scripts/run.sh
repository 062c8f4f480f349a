#!/usr/bin/env bash
# Installs what is missing, builds, and starts CardCheck.exe under Wine with the simulated
# card reader beside it. With a display the operator uses the window. With none, a virtual
# X server is started, "读基本信息检测" is clicked on the simulator's default card, a
# screenshot of the dialog is saved, the result list's lines are printed, and the tool exits.
set -eu
. "$(dirname "$0")/common.sh"
ensure_packages
build_tree
BIN=$BUILD/bin
[ -f "$BIN/CardCheck.exe" ] || die "CardCheck.exe was not built"
[ -f "$BIN/SSCardDriver.dll" ] || die "the simulated reader SSCardDriver.dll was not built"
prepare_prefix "$BUILD/wine-app" x11

# The check log is written below the working directory (LOG\YYYYMMDD\<card number>.txt).
WORK=${CARDCHECK_WORKDIR:-$BUILD/run}
mkdir -p "$WORK"
cd "$WORK"

if [ -n "${DISPLAY:-}" ] && xwd -root -silent -display "$DISPLAY" >/dev/null 2>&1; then
    exec wine "$BIN/CardCheck.exe"
fi

# Headless: a virtual screen of our own.
n=77
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
export DISPLAY=":$n"

SHOT=$BUILD/cardcheck-screenshot.png
LINES=$WORK/result-list.txt
rm -f "$LINES" "$LINES.rect" "$LINES.err"
# Both programs run in one virtual desktop (with a window frame), so the driver sees the tool.
desktop() { (setsid wine explorer /desktop=CardCheck,1200x900 "$@" </dev/null >/dev/null 2>&1 &); }
desktop "$BIN/CardCheck.exe"
desktop "$BIN/CardCheckDemo.exe" click 1010 "$(winepath -w "$LINES")"
for _ in $(seq 1200); do [ -e "$LINES.rect" ] || [ -e "$LINES.err" ] && break; sleep 0.1; done
[ -e "$LINES.err" ] && die "the unattended check failed: $(cat "$LINES.err")"
[ -e "$LINES.rect" ] || die "the unattended check did not complete"
read -r x y w h <"$LINES.rect"
xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage "$SHOT"
desktop "$BIN/CardCheckDemo.exe" close
for _ in $(seq 100); do pgrep -f CardCheck.exe >/dev/null || break; sleep 0.1; done
echo "Screenshot of the dialog: $SHOT"
echo "Result list:"
sed 's/^/  /' "$LINES"
