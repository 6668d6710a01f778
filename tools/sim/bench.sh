#!/usr/bin/env bash
# Logical frames per second of the simulation, measured with fenda_sim --bench
# in the data directory:
#   - the four players' scripted fight on testmap.fenda,
#   - the same map with nobody at the keys, the reference measured in the
#     same run (the world's own cost: grid, resting items, monsters, lifts),
#   - the fight on the stress map of stress_map.py (60 monsters, 24 lifts,
#     rows of weapons and ammunition).
# Each figure is the median of three runs.
#
#   tools/sim/bench.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
sim="$build/fenda_sim"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$root/tools/sim/fight_script.py" 58 100000 > "$work/testmap.script"
python3 "$root/tools/sim/fight_script.py" 7 20000 > "$work/stress.script"
python3 "$root/tools/sim/stress_map.py" > "$work/stress.fenda"

median() {
  local runs=()
  for _ in 1 2 3; do
    runs+=("$(cd "$root/data" && "$sim" --bench "$@" | sed -n 's/^frames per second //p')")
  done
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 2p
}

echo "testmap.fenda, scripted fight:   $(median testmap.fenda 100000 "$work/testmap.script") frames per second"
echo "testmap.fenda, idle (reference): $(median testmap.fenda 100000) frames per second"
echo "stress map, scripted fight:      $(median "$work/stress.fenda" 20000 "$work/stress.script") frames per second"
