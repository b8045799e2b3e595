#!/usr/bin/env bash
# Installs what is missing, then runs the checks in stages and prints what
# each took:
#   format  clang-format --dry-run -Werror over the tracked C++ files
#   ci      optimised build, warnings as errors; every test
#   asan    AddressSanitizer + UndefinedBehaviorSanitizer build; every test
#   tsan    ThreadSanitizer build of the thread-heavy test programs (CTest
#           label "threads"); just those
#   fuzz    clang + libFuzzer build of every fuzz target; each replays its
#           seed corpus, then runs QUELLOR_FUZZ_SECONDS (5) on new inputs
#   demo    scripts/demo.sh on the ci build, into a fresh folder
# QUELLOR_STAGES picks stages (e.g. QUELLOR_STAGES="format tsan");
# QUELLOR_PRESETS="ci" is kept as the older way to pick build stages.
set -euo pipefail
cd "$(dirname "$0")/.."

ALL_STAGES="format ci asan tsan fuzz demo"
STAGES=${QUELLOR_STAGES:-${QUELLOR_PRESETS:-$ALL_STAGES}}
JOBS=${QUELLOR_JOBS:-$(nproc)}
FUZZ_SECONDS=${QUELLOR_FUZZ_SECONDS:-5}

for stage in $STAGES; do
  case " $ALL_STAGES " in
    *" $stage "*) ;;
    *) echo "test.sh: unknown stage \"$stage\" (stages: $ALL_STAGES)" >&2; exit 2 ;;
  esac
done

./scripts/setup.sh

stage_format() {
  # Tracked files only: build folders and generated sources are not ours.
  git ls-files -z '*.cpp' '*.cc' '*.h' '*.hpp' | xargs -0 clang-format --dry-run -Werror
  echo "format: $(git ls-files '*.cpp' '*.cc' '*.h' '*.hpp' | wc -l) files in style"
}

build_and_test() {  # <preset> [ctest arguments...]
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$JOBS"
  ctest --preset "$preset" -j "$JOBS" "$@"
}

stage_ci() { build_and_test ci; }
stage_asan() { build_and_test asan; }

stage_tsan() {
  cmake --preset tsan >/dev/null
  cmake --build --preset tsan -j "$JOBS" --target quellor_thread_tests
  # halt_on_error: the first race fails its test with the report beside it.
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
    ctest --preset tsan -j "$JOBS" -L threads
}

# The fuzz targets as fuzz/*/CMakeLists.txt declare them, so a new fuzzer
# joins this stage without being listed here.
fuzz_targets() {
  sed -n 's/^[[:space:]]*quellor_add_fuzzer(\([A-Za-z0-9_]*\).*/\1/p' fuzz/*/CMakeLists.txt
}

stage_fuzz() {
  local targets
  targets=$(fuzz_targets)
  cmake --preset fuzz >/dev/null
  # shellcheck disable=SC2086
  cmake --build --preset fuzz -j "$JOBS" --target $targets
  local work=build/fuzz/run
  rm -rf "$work" && mkdir -p "$work/artifacts"
  for target in $targets; do
    local program=build/fuzz/fuzz/$target corpus=fuzz/corpus/$target
    mkdir -p "$work/$target"
    echo "--- $target: replay $(find "$corpus" -type f | wc -l) seeds, then ${FUZZ_SECONDS} s"
    "$program" -runs=0 -artifact_prefix="$work/artifacts/" "$corpus"
    # New inputs go to the scratch corpus (first folder); the seeds stay as
    # they are.
    "$program" -max_total_time="$FUZZ_SECONDS" -print_final_stats=1 \
      -artifact_prefix="$work/artifacts/" "$work/$target" "$corpus" 2>&1 | tail -n 6
  done
}

stage_demo() {
  # On the ci build (already built after stage ci). The environment says
  # where the demo's board, settings and files go, so nothing outside the
  # repository is read or written.
  local out=$PWD/build/ci/demo
  env -u QUELLOR_BOARD -u QUELLOR_DRIVES QUELLOR_DEMO_PRESET=ci QUELLOR_DEMO_OUT="$out" ./scripts/demo.sh
}

declare -a report=()
for stage in $STAGES; do
  echo "=== $stage ==="
  start=$SECONDS
  "stage_$stage"
  report+=("$(printf '%-7s %4d s' "$stage" $((SECONDS - start)))")
done
echo "=== all stages passed ==="
printf '%s\n' "${report[@]}"
