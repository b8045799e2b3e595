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

step "edithost: the editor plug-in writes a clip and reads it back"
# rtvbridge.so loaded as the editing host loads it, with the demo's settings.
mkdir -p "$OUT/windows"
printf '[VideoQuellor Configuration]\nRefresh Rate Warning=0\n' >"$OUT/windows/VideoQuellor.ini"
export QUELLOR_WINDIR="$OUT/windows"
"$BIN/edithost" interfaces
"$BIN/edithost" write --format 444 "$OUT/bars.y4m" -o "$OUT/plugin.rtv"
cmp "$OUT/bars.rtv" "$OUT/plugin.rtv" && echo "plugin.rtv (written through the plug-in) is byte-identical to bars.rtv"
"$BIN/edithost" read "$OUT/plugin.rtv" --format 422 -o "$OUT/plugin.raw"
"$BIN/rtvtool" to-y4m "$OUT/plugin.rtv" -o "$OUT/plugin.y4m"
cmp "$OUT/bars.y4m" "$OUT/plugin.y4m" && echo "read back through rtvtool: identical frames"
"$BIN/edithost" read "$OUT/plugin.rtv" --format rgba --frames 30 -o "$OUT/plugin30.png"
# The picture back through the plug-in's RGBA write (the colour conversion
# into both fields) and read again: the same bars, within the rounding of
# 4:2:2 and back.
"$BIN/edithost" write --format rgba "$OUT/plugin30.png" -o "$OUT/rgba"
"$BIN/edithost" read "$OUT/rgba.rtv" --format rgba -o "$OUT/rgba-back.png"
unset QUELLOR_WINDIR

step "virtual board: the clip on the input"
"$BIN/boardctl" input clip "$OUT/bars.rtv"
"$BIN/boardctl" status
"$BIN/boardctl" snapshot --input -o "$OUT/input.png"
echo "wrote $OUT/input.png"

step "quellhost graph: the bars keyed over a gradient, played out of the board"
# Clip -> hard luma key -> luma effect (brightness from a gradient) -> board
# output, 120 fields on the board's hand clock; then the board's output.
"$BIN/quellhost" graph --fields 120 \
  "clip=RTVFileInput(files=$OUT/bars.rtv) key=ChromaKey(input=clip, mode=dark, tolerance=60,
   bg=16:128:128) grad=VideoGradient() mix=LumaEffect(luma=grad, chroma=key)
   out=VideoQuellorOutput(input=mix, loop=1)"
"$BIN/boardctl" snapshot -o "$OUT/graph.png"
echo "wrote $OUT/graph.png"

step "quellhost scope: the vectorscope, the luma waveform and the RGB parade of bars on the input"
# The waveform monitor control on the board's hand clock for six fields; the
# bars' dots sit in the graticule's 75% target boxes, their luma on the IRE
# levels of 75% bars above the 7.5 IRE setup line.
"$BIN/boardctl" input bars
"$BIN/quellhost" scope --mode 5 --zoom 2 -o "$OUT/scope-vector.png"
"$BIN/quellhost" scope --mode 1 --zoom 2 -o "$OUT/scope-luma.png"
"$BIN/quellhost" scope --mode 4 --zoom 2 -o "$OUT/scope-rgb-parade.png"
"$BIN/boardctl" input clip "$OUT/bars.rtv" >/dev/null  # as the next steps expect

step "edithost: record the board's input, then play it out with the bars clip"
# The input plays bars.rtv (above); the recording interface takes 1 s of it,
# the sink plays the take and bars.rtv out of the board, paced by time stamps.
export QUELLOR_WINDIR="$OUT/windows"
"$BIN/edithost" record --seconds 1 -o "$OUT/take.rtv"
"$BIN/edithost" play "$OUT/take.rtv" "$OUT/bars.rtv" --speed 2
"$BIN/boardctl" snapshot -o "$OUT/output.png"
echo "wrote $OUT/output.png (the last frame played: frame 59 of bars.rtv)"
unset QUELLOR_WINDIR

step "clipviewer: start-up clip, tray menu, a clipboard change, exit"
# Runs headless on the demo's board with its own settings file; the script
# clicks "&De-Interlace" in the tray menu, puts text on the clipboard and exits.
QUELLOR_WINDIR="$OUT/windows" QUELLOR_DEBUG=1 \
  QUELLOR_CLIPVIEWER_SCRIPT="wait 200; menu 4; clipboard Video Quellor; wait 200" \
  "$BIN/clipviewer" && echo "clipviewer ended cleanly; settings in $OUT/windows/VideoQuellor.ini"

step "clipviewer: what a user copies reaches the board's output"
# Each run copies one thing, lets the output hub put it on the board and exits;
# the board keeps showing the last frame, which boardctl then takes. The first
# step turned de-interlace off; the picture run turns it on again (a slight
# blur), the metafile run also switches to 1-to-1 and back.
viewer() {
  QUELLOR_WINDIR="$OUT/windows" QUELLOR_CLIPVIEWER_SCRIPT="wait 200; $1; wait 300" "$BIN/clipviewer"
}
viewer "clipboard-text Video Quellor: text copied to the clipboard"
"$BIN/boardctl" snapshot -o "$OUT/output-text.png"
viewer "command 40005; clipboard-bitmap $OUT/frame30.png"
"$BIN/boardctl" snapshot -o "$OUT/output-picture.png"
viewer "clipboard-metafile An enhanced metafile"
"$BIN/boardctl" snapshot -o "$OUT/output-metafile.png"
step "clipviewer: Play hands a clip to the clip player (the stand-in prints it)"
viewer "play $OUT/bars.rtv"

step "clipviewer: record two seconds of the board's bars input"
# The recorder dialog through a script: drive C: (mapped to out/demo/disk),
# Record, 120 fields (two seconds of NTSC), Stop, list the files, Close.
"$BIN/boardctl" input bars
mkdir -p "$OUT/disk"
printf '[VideoQuellor Configuration]\r\nRecorderDiskToUse=0\r\nVideoMode=1\r\n' \
  >"$OUT/windows/VideoQuellor.ini"
QUELLOR_WINDIR="$OUT/windows" QUELLOR_DRIVES="C=$OUT/disk" \
  QUELLOR_CLIPVIEWER_SCRIPT="command 40025; wait 100; drive 0; record; fields 120; stop; list; close; wait 100" \
  "$BIN/clipviewer"
step "rtvtool info of the recording"
"$BIN/rtvtool" info "$OUT/disk/RecordNo0.rtv"

step "clipviewer: the input settings dialog moves a slider; boardctl sees it"
QUELLOR_WINDIR="$OUT/windows" \
  QUELLOR_CLIPVIEWER_SCRIPT="command 40023; wait 100; slider 1001 -30; click 1010; edit 1022 12; close; wait 100" \
  "$BIN/clipviewer"
"$BIN/boardctl" controls | grep -E 'contrast|brightness|format' || true

step "quellpanel: a slider of framework controls brightens a gradient on the board"
printf 'fields 8\noutput\nslide grad.tl 1\nprint grad.tl\nfields 30\noutput\nshot %s\n' \
  "$OUT/panel.png" >"$OUT/panel.txt"
QUELLOR_HEADLESS=1 "$BIN/quellpanel" --script "$OUT/panel.txt" \
  'grad=VideoGradient(flat=16:128:128) out=VideoQuellorOutput(input=grad)'
echo "wrote $OUT/panel.png"
