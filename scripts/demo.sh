#!/usr/bin/env bash
# The main job on the virtual board: builds the suite, makes a clip of
# generated colour bars, looks into it and converts it both ways, then plays it
# on the virtual board's input and takes a snapshot. Everything it writes goes
# to out/demo/ (QUELLOR_DEMO_OUT: another folder, emptied first); it builds
# the preset QUELLOR_DEMO_PRESET (default). CI runs it as a smoke test. It
# grows with the suite; see README.md for what it shows.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
PRESET=${QUELLOR_DEMO_PRESET:-default}
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET" -j "$(nproc)"

BIN=$PWD/build/$PRESET/bin
OUT=${QUELLOR_DEMO_OUT:-$PWD/out/demo}
rm -rf "$OUT" && mkdir -p "$OUT"
export QUELLOR_BOARD_DIR="$OUT/board"

step() { printf '\n=== %s ===\n' "$*"; }

step "rtvtool generate: 2 seconds of NTSC colour bars"
"$BIN/rtvtool" generate --standard ntsc --frames 60 -o "$OUT/bars.rtv"
step "rtvtool info"
"$BIN/rtvtool" info "$OUT/bars.rtv"
step "rtvtool export: frame 30 as a picture"
"$BIN/rtvtool" export "$OUT/bars.rtv" --frame 30 -o "$OUT/frame30.png"
echo "wrote $OUT/frame30.png"
step "rtvtool to-y4m and back: lossless"
"$BIN/rtvtool" to-y4m "$OUT/bars.rtv" -o "$OUT/bars.y4m"
"$BIN/rtvtool" from-y4m "$OUT/bars.y4m" -o "$OUT/copy.rtv"
cmp "$OUT/bars.rtv" "$OUT/copy.rtv" && echo "copy.rtv is byte-identical to bars.rtv"

step "virtual board: the clip on the input"
"$BIN/boardctl" input clip "$OUT/bars.rtv"
"$BIN/boardctl" status
"$BIN/boardctl" snapshot --input -o "$OUT/input.png"
echo "wrote $OUT/input.png"

step "clipviewer: start-up clip, tray menu, a clipboard change, exit"
# Runs headless on the demo's board with its own settings file; the script
# clicks "&De-Interlace" in the tray menu, puts text on the clipboard and exits.
QUELLOR_WINDIR="$OUT/windows" QUELLOR_DEBUG=1 \
  QUELLOR_CLIPVIEWER_SCRIPT="wait 200; menu 4; clipboard Video Quellor; wait 200" \
  "$BIN/clipviewer" && echo "clipviewer ended cleanly; settings in $OUT/windows/VideoQuellor.ini"
