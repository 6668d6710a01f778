#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds both programs and starts the game
# in data/, its working directory. Arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
cd data
exec ../build/fenda2 "$@"
