#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite:
#   1. tests: the unit, driver and window tests,
#   2. asan: the same tests built with AddressSanitizer + UndefinedBehaviorSanitizer,
#   3. tsan: the thread-using tests built with ThreadSanitizer,
#   4. fuzz: a short, bounded run of every fuzz target.
# Every test runs on an X server of its own (Xvfb), whatever session starts the script, so a
# desktop gives the result CI gives.
# Usage: scripts/test.sh [ctest arguments...]   e.g. scripts/test.sh -R Checksum
#        MIREX_TEST_STAGES="tests tsan" scripts/test.sh   runs only the stages named
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
stages=${MIREX_TEST_STAGES:-tests asan tsan fuzz}
for s in $stages; do
  case $s in tests | asan | tsan | fuzz) ;; *) echo "unknown test stage: $s" >&2; exit 2 ;; esac
done
stage() { [[ " $stages " == *" $1 "* ]]; }

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

# On a Wayland desktop GTK would take the compositor (found through WAYLAND_DISPLAY or its
# default socket) even beside an X display, and a desktop's X server has a window manager that
# moves windows: neither is what the window tests are written for.
on_xvfb() {
  env -u WAYLAND_DISPLAY GDK_BACKEND=x11 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
}

run_ctest() {  # dir, ctest arguments...
  local dir=$1; shift
  (cd "$top/build/$dir" && on_xvfb ctest --output-on-failure -j "$jobs" "$@")
}

if stage tests; then
  echo "== tests"
  configure test -DCMAKE_BUILD_TYPE=Debug
  run_ctest test "$@"
fi

if stage asan; then
  echo "== address + undefined sanitizers"
  configure asan -DCMAKE_BUILD_TYPE=Debug -DMIREX_SANITIZE=address,undefined
  run_ctest asan "$@"
fi

if stage tsan; then
  echo "== thread sanitizer (tests without windows)"
  configure tsan -DCMAKE_BUILD_TYPE=Debug -DMIREX_SANITIZE=thread
  run_ctest tsan -L core "$@"
fi

if stage fuzz; then
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
fi
echo "== all tests passed${MIREX_TEST_STAGES:+ (stages: $stages)}"
