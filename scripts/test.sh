#!/usr/bin/env bash
# Installs what is missing, builds and runs every test three ways (plain, ASan+UBSan, TSan),
# then builds and checks the Debian package, a short fuzz pass and the benchmark's quick run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan.supp"

# The sanitizer builds make only the test programs: the tools are built and run by the plain one.
test_programs="platform_tests camera_tests imaging_tests history_tests dialog_tests integration_tests"
for flavour in plain asan tsan; do
  echo "== $flavour build"
  if [ "$flavour" = plain ]; then
    "$root/scripts/build.sh" "$flavour"
  else
    PEMBLAR_TARGETS="$test_programs" "$root/scripts/build.sh" "$flavour"
  fi
  echo "== $flavour tests"
  ctest --test-dir "$root/build/$flavour" --output-on-failure -j2
done

echo "== package (Release build, installed tree, lintian)"
"$root/scripts/package.sh"

if [ -x "$root/scripts/fuzz.sh" ]; then
  echo "== short fuzz pass"
  "$root/scripts/fuzz.sh" --short
fi

if [ -x "$root/build/plain/tools/pemblar-bench" ]; then
  echo "== benchmark (quick)"
  "$root/build/plain/tools/pemblar-bench" --quick
fi
