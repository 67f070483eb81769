#!/usr/bin/env bash
# Builds the fuzz flavour and runs every libFuzzer target (or those named) for a bounded time.
#   scripts/fuzz.sh --short        about a minute in all (20 s per target); what scripts/test.sh runs
#   scripts/fuzz.sh                10 minutes per target
#   scripts/fuzz.sh --time S       S seconds per target
#   scripts/fuzz.sh --runs N       N executions per target
#   scripts/fuzz.sh [options] camera_stream frame_path ...   only these targets
# Each target starts from its seeds in tests/fuzz/corpus/<target> and keeps what it finds in
# build/fuzz/corpus/<target>; a crash, leak or hang is written to build/fuzz/artifacts/<target>/
# and makes the script exit non-zero. PEMBLAR_BUILD_DIR chooses another build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
limit=(-max_total_time=600)
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --short) limit=(-max_total_time=20) ;;
    --time) limit=(-max_total_time="$2"); shift ;;
    --runs) limit=(-runs="$2"); shift ;;
    camera_stream|frame_path|history_decoder) targets+=("$1") ;;
    *) echo "unknown argument: $1 (--short, --time S, --runs N, target names)" >&2; exit 2 ;;
  esac
  shift
done
[ ${#targets[@]} -gt 0 ] || targets=(camera_stream frame_path history_decoder)

export PEMBLAR_BUILD_DIR=${PEMBLAR_BUILD_DIR:-$root/build/fuzz}
PEMBLAR_TARGETS="${targets[*]/%/_fuzzer}" "$root/scripts/build.sh" fuzz
dir=$PEMBLAR_BUILD_DIR

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan.supp

# Longest input per target: a few frames of a stream, one frame, one history value's worth.
max_len() {
  case "$1" in
    camera_stream) echo 32768 ;;
    frame_path) echo 32768 ;;
    history_decoder) echo 24576 ;;
  esac
}

failed=0
for target in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$target" "$dir/artifacts/$target"
  echo "== fuzzing $target (${limit[*]})"
  if ! "$dir/tests/fuzz/${target}_fuzzer" "${limit[@]}" -max_len="$(max_len "$target")" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$dir/artifacts/$target/" \
      "$dir/corpus/$target" "$root/tests/fuzz/corpus/$target"; then
    echo "!! $target found a failure; see $dir/artifacts/$target/" >&2
    failed=1
  fi
done
exit "$failed"
