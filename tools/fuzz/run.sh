#!/usr/bin/env bash
# Builds the fuzz targets with clang++ (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for a bounded
# time, seeded from data/, from tools/fuzz/seeds/<target>/ (small inputs
# that load fast) and from the inputs kept under
# tools/fuzz/regressions/<target>/; tools/fuzz/<target>.dict, where there
# is one, gives the format's words. Fails on any crash, sanitizer report,
# leak or hang. FUZZ_SECONDS sets the time per target (default 60);
# FUZZ_TARGETS limits the run to some targets (space-separated names).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-2}

cmake -S "$root/tools/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$jobs" >/dev/null

# Seeds per target: which data files to start from.
declare -A seeds=(
  [fuzz_map]="*.fenda"
  [fuzz_monster]="*.monster"
  [fuzz_missile]="*.missle"
  [fuzz_config]="fenda2.config"
  [fuzz_font]="koi8.font"
  [fuzz_net]="*.datagrams"
  [fuzz_replay]="*.replay"
)
targets=${FUZZ_TARGETS:-"fuzz_config fuzz_font fuzz_missile fuzz_monster fuzz_map fuzz_net fuzz_replay"}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for t in $targets; do
  work=$(mktemp -d)
  corpus="$work/corpus"
  mkdir -p "$corpus"
  shopt -s nullglob
  for f in "$root"/data/${seeds[$t]} "$root/tools/fuzz/seeds/$t"/*; do cp "$f" "$corpus/"; done
  regressions=("$root/tools/fuzz/regressions/$t"/*)
  shopt -u nullglob
  # Every kept input first, once each: they once crashed and must not again.
  if [ ${#regressions[@]} -gt 0 ]; then
    if ! "$build/$t" -runs=0 "${regressions[@]}" </dev/null >"$work/replay.log" 2>&1; then
      echo "fuzz: $t fails on a kept input"; tail -40 "$work/replay.log"; failed=1
    fi
    cp "${regressions[@]}" "$corpus/"
  fi
  dict=()
  [ -f "$root/tools/fuzz/$t.dict" ] && dict=(-dict="$root/tools/fuzz/$t.dict")
  start=$(date +%s)
  if "$build/$t" "$corpus" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$work/" -print_final_stats=1 </dev/null >"$work/fuzz.log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/fuzz.log" | grep -o '[0-9]*$' || echo "?")
    echo "fuzz: $t clean, $runs inputs in $(( $(date +%s) - start )) s"
  else
    echo "fuzz: $t FAILED"; tail -60 "$work/fuzz.log"
    ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* 2>/dev/null || true
    failed=1
    continue
  fi
  rm -rf "$work"
done
exit $failed
