#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in a build folder of its
# own and runs the whole test suite on it. A finding of either fails the test program it shows in.
#
#   scripts/sanitize.sh [BUILD_DIR]      (default build-sanitize; JOBS=2 as for make)
#
# The first build compiles everything again (the objects differ from a normal build's): give it
# an hour on two cores. Later runs build only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-sanitize}"
jobs="${JOBS:-2}"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONAVEIL_SANITIZE=ON >/dev/null
fi
cmake --build "$dir" -j"$jobs"
# Leaks count; a report names its frames; UBSan's report stops the program like ASan's.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Qt's and the system libraries' own leaks at exit are theirs, not ours.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"
export QT_QPA_PLATFORM=offscreen
# The programs run several times slower under the sanitizers; their time-outs are set to match.
ctest --test-dir "$dir" --output-on-failure -j"$jobs"
