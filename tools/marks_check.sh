#!/usr/bin/env bash
# From outside, as a user would: korvalis.exe (the release build) under Wine lists a fleet of
# about 1,500 aircraft, marks them all and writes them, while another process (marks_driver)
# types Ctrl+Shift+End and Ctrl+Shift+Home into the list; once with every file writable, once
# with one read-only file. No row should stay marked, or only the read-only one.
#   [UNTIL=0.95] tools/marks_check.sh [WORKDIR]      (default build/marks-work)
# UNTIL: how far the write is when the keys stop (1: until its end is shown).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(realpath -m "${1:-build/marks-work}")
cmake --preset native >/dev/null && cmake --build --preset native --target fleetgen >/dev/null
cmake --preset windows >/dev/null && cmake --build --preset windows --target korvalis marks_driver >/dev/null

source tools/outside_prefix.sh marks "Z:${work//\//\\}\\fleet"

for run in writable read-only; do
  rm -rf "$work/fleet"
  build/native/tools/fleetgen "$work/fleet/Aircraft" 1637 42 1 >/dev/null
  if [ "$run" = read-only ]; then
    # One file the write cannot change, among those listed (with a type marker), in the middle:
    # neither Ctrl+Shift+Home nor Ctrl+Shift+End ends on its row.
    ro=$(python3 -c 'import glob,sys
m=bytes([5,1,0,0,4,0,0,0])
listed=[f for f in sorted(glob.glob(sys.argv[1]+"/*/*.air")) if m in open(f,"rb").read()]
print(listed[len(listed)//2])' "$work/fleet/Aircraft")
    chmod a-w "$ro"
    echo "== one read-only file: $(basename "$(dirname "$ro")")"
  else
    echo "== every file writable"
  fi
  wine build/windows/tools/marks_driver.exe "Z:${root//\//\\}\\build\\windows\\ui\\korvalis.exe" "${UNTIL:-0.95}"
done
chmod -R u+w "$work/fleet"
