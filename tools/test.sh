#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, then builds and runs every test twice:
# a normal build in build/ and an AddressSanitizer + UndefinedBehaviorSanitizer
# build in build-asan/. Then checks that the generated data set in data/ is
# what the generator makes, and runs each of the seven fuzz targets for 45 s
# (FUZZ_SECONDS sets the time; FENDA_QUICK=1 skips the sanitizer build and
# the fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

jobs=$(nproc)
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# run_suite DIR NET_SECONDS CMAKE_ARGS...: the network checks play NET_SECONDS.
run_suite() {
  local dir=$1 seconds=$2; shift 2
  echo "== $dir: configure and build"
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs" 2>&1 | grep -E 'warning|error' || true
  cmake --build "$dir" -j"$jobs" >/dev/null
  echo "== $dir: tests"
  (cd "$dir" && FENDA_NET_SECONDS=${FENDA_NET_SECONDS:-$seconds} ctest --output-on-failure -j"$jobs" --timeout 600)
}

run_suite build 60 -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${FENDA_QUICK:-0}" != "1" ]; then
  run_suite build-asan 20 -DCMAKE_BUILD_TYPE=Debug -DFENDA_SANITIZE=ON
fi

if [ -f tools/check_data.sh ]; then
  echo "== data set: regenerate and compare"
  bash tools/check_data.sh
fi

if [ "${FENDA_QUICK:-0}" != "1" ] && [ -f tools/fuzz/run.sh ]; then
  echo "== fuzz targets"
  FUZZ_SECONDS=${FUZZ_SECONDS:-45} bash tools/fuzz/run.sh
fi
