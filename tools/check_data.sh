#!/usr/bin/env bash
# Regenerates the data set into a temporary directory and compares it with
# the committed data/: fails (naming the files) when a committed file
# differs from what the generator writes, when a generated file is missing
# from data/ or not committed, or when data/ commits a file the generator
# does not write.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$here/gen_data.sh" "$tmp/data" >/dev/null
bad=0
( cd "$tmp/data" && find . -type f | sed 's|^\./||' | LC_ALL=C sort ) > "$tmp/generated"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$root" ls-files -- data | sed 's|^data/||' | LC_ALL=C sort > "$tmp/committed"
else
  ( cd "$root/data" && find . -type f | sed 's|^\./||' | LC_ALL=C sort ) > "$tmp/committed"
fi
while IFS= read -r f; do
  if [ ! -f "$root/data/$f" ]; then
    echo "check_data: missing from data/: $f"; bad=1
  elif ! cmp -s "$tmp/data/$f" "$root/data/$f"; then
    echo "check_data: differs from the generator's output: data/$f"; bad=1
  elif ! grep -qxF -- "$f" "$tmp/committed"; then
    echo "check_data: not committed: data/$f"; bad=1
  fi
done < "$tmp/generated"
while IFS= read -r f; do
  if ! grep -qxF -- "$f" "$tmp/generated"; then
    echo "check_data: committed but not generated: data/$f"; bad=1
  fi
done < "$tmp/committed"
if [ "$bad" -ne 0 ]; then
  echo "check_data: FAILED - run tools/gen_data.sh and commit data/"
  exit 1
fi
echo "check_data: data/ matches the generator ($(wc -l < "$tmp/generated") files)"
