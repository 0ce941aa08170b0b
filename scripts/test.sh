#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite:
#   1. the unit, driver and window tests (window tests under Xvfb when no display is set),
#   2. the same tests built with AddressSanitizer + UndefinedBehaviorSanitizer,
#   3. the thread-using tests built with ThreadSanitizer,
#   4. a short, bounded run of every fuzz target.
# Usage: scripts/test.sh [ctest arguments...]   e.g. scripts/test.sh -R Checksum
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$top/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

configure() {  # dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S "$top" -B "$top/build/$dir" -G Ninja "$@" >/dev/null
  cmake --build "$top/build/$dir" -j "$jobs"
}

under_display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"; fi
}

run_ctest() {  # dir, ctest arguments...
  local dir=$1; shift
  (cd "$top/build/$dir" && under_display ctest --output-on-failure -j "$jobs" "$@")
}

echo "== tests"
configure test -DCMAKE_BUILD_TYPE=Debug
run_ctest test "$@"

echo "== address + undefined sanitizers"
configure asan -DCMAKE_BUILD_TYPE=Debug -DMIREX_SANITIZE=address,undefined
run_ctest asan "$@"

echo "== thread sanitizer (tests without windows)"
configure tsan -DCMAKE_BUILD_TYPE=Debug -DMIREX_SANITIZE=thread
run_ctest tsan -L core "$@"

echo "== fuzz smoke run"
configure fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIREX_FUZZ=ON -DMIREX_SANITIZE=address,undefined \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
for target in "$top"/build/fuzz/tests/*_fuzz; do
  [ -x "$target" ] || continue
  corpus="$top/tests/fuzz/corpus/$(basename "$target")"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "-- $(basename "$target")"
  "$target" -max_total_time=15 -print_final_stats=0 "$work" 2>&1 | tail -n 2
  rm -rf "$work"
done
echo "== all tests passed"
