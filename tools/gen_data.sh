#!/usr/bin/env bash
# Generates the game's data set into OUTDIR (default: data/ of the work tree).
# Needs only Debian packages (python3, python3-pil, python3-numpy,
# xfonts-base, fonts-dejavu-core; tools/setup.sh installs them).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-"$here/../data"}
PYTHONPATH="$here${PYTHONPATH:+:$PYTHONPATH}" exec /usr/bin/python3 -B -m datagen "$out"
