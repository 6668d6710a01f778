#!/usr/bin/env bash
# What playing a replay costs beside playing the same commands as a script:
# a ten-minute fight of four players (60000 logical frames, fight_script.py)
# is recorded with fenda_sim --record, then fenda_sim --bench --replay plays
# the recording and fenda_sim --bench plays the script, in turns, five times
# each; the medians of logical frames per second are printed side by side.
#
#   bench/replay_bench.sh [BUILD_DIR] [FRAMES]     (default: build, 60000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
frames=${2:-60000}
sim="$build/fenda_sim"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root"/data/* "$work/"
cd "$work"

python3 "$root/tools/sim/fight_script.py" 58 "$frames" > fight.script
"$sim" --record fight.replay testmap.fenda "$frames" fight.script > /dev/null
"$sim" --replay fight.replay | tail -1

rate() { "$sim" --bench "$@" | sed -n 's/^frames per second //p'; }
median() { sort -n | sed -n 3p; }
replay=() script=()
for _ in 1 2 3 4 5; do
  replay+=("$(rate --replay fight.replay)")
  script+=("$(rate testmap.fenda "$frames" fight.script)")
done
r=$(printf '%s\n' "${replay[@]}" | median)
s=$(printf '%s\n' "${script[@]}" | median)
echo "replay of $frames frames ($(stat -c %s fight.replay) bytes, $(grep -c . fight.script) script events):"
echo "  fenda_sim --replay: $r logical frames per second (median of 5)"
echo "  fenda_sim script:   $s logical frames per second (median of 5, the reference)"
awk -v r="$r" -v s="$s" 'BEGIN { printf "  the replay costs %+.1f %% over the script\n", (s / r - 1) * 100 }'
