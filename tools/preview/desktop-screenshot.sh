#!/bin/sh
# Makes the README's desktop screenshot on a virtual X server: clipviewer
# with its tray icon (the small window: no system tray runs there) and its
# tray menu open, text copied in X on the board's output, and
# `boardctl watch --window` showing that output live.
#
#   tools/preview/desktop-screenshot.sh BUILD_DIR OUT.png
#
# With WINDOW_MANAGER set (say openbox), that window manager runs on the
# server too, to see the windows as a desktop frames them.
#
# Needs Xvfb, xclip, xdotool and xwd (scripts/setup.sh installs them).
set -eu
build=$(cd "${1:?build folder}" && pwd)
out=${2:?output picture}
bin=$build/bin
work=$(mktemp -d)
display=:$((200 + $$ % 500))
cleanup() {
  for pid in ${viewer:-} ${watcher:-} ${manager:-} ${server:-}; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1000x620x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
export DISPLAY=$display QUELLOR_BOARD_DIR=$work/board QUELLOR_WINDIR=$work
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
if [ -n "${WINDOW_MANAGER:-}" ]; then
  "$WINDOW_MANAGER" >/dev/null 2>&1 &
  manager=$!
  sleep 1
fi

# clipviewer runs until killed; its script only keeps it going.
PATH=$bin:$PATH QUELLOR_CLIPVIEWER_SCRIPT="wait 600000" "$bin/clipviewer" >/dev/null 2>&1 &
viewer=$!
tray=""
for _ in $(seq 300); do
  tray=$(xdotool search --classname quellor-tray 2>/dev/null | head -1) && [ -n "$tray" ] && break
  sleep 0.1
done
[ -n "$tray" ] || { echo "clipviewer's tray icon did not appear" >&2; exit 1; }

# Copied in X: the bridge hands it to clipviewer, which shows it on the output.
printf 'Hello from the X clipboard' | xclip -selection clipboard -i 2>/dev/null
"$bin/boardctl" watch --window >/dev/null 2>&1 &
watcher=$!
for _ in $(seq 300); do
  xdotool search --name '^boardctl: output' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 2  # a few fields, so that the picture and title are current

# The tray menu, opened with a right click on the icon.
eval "$(xdotool getwindowgeometry --shell "$tray")"
xdotool mousemove $((X + 16)) $((Y + 16)) click 3
sleep 1
xwd -root -silent >"$work/screen.xwd"
"$bin/xwdtopng" "$work/screen.xwd" "$out"
echo "wrote $out"
