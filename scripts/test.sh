#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: first an optimised
# build with warnings as errors, then the AddressSanitizer +
# UndefinedBehaviorSanitizer build. QUELLOR_PRESETS="ci" runs just one.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

PRESETS=${QUELLOR_PRESETS:-"ci asan"}
JOBS=${QUELLOR_JOBS:-$(nproc)}
for preset in $PRESETS; do
  echo "=== $preset: configure and build ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$JOBS"
  echo "=== $preset: test ==="
  ctest --preset "$preset" -j "$JOBS"
done
