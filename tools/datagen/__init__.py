"""Generator of the game's data set (data/): run `tools/gen_data.sh [OUTDIR]`."""
