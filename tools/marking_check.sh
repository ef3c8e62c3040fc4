#!/usr/bin/env bash
# From outside, as a user would: korvalis.exe (the release build) under Wine lists seven
# aircraft (new AI aircraft still flyable, AI aircraft hidden earlier, a training aircraft with
# "AI" inside a word, the user's own) and marking_driver uses the Mark rows dialog on them by
# name and type, among the marked rows, and checks the marks and the status bar after each.
#   tools/marking_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
corpus=$(realpath ../shared/air-corpus)
work="$root/build/marking-work"
cmake --preset windows >/dev/null && cmake --build --preset windows --target korvalis marking_driver >/dev/null

source tools/outside_prefix.sh marking "Z:${work//\//\\}\\fs9"

rm -rf "$work"
python3 - "$corpus" "$work/fs9/Aircraft" <<'PYEOF'
import csv, os, sys
corpus, fleet = sys.argv[1:]
source = next(r for r in csv.DictReader(open(os.path.join(corpus, "MANIFEST.tsv")), delimiter="\t")
              if r["first_marker_offset"])
data = bytearray(open(os.path.join(corpus, "files", source["file"]), "rb").read())
at = int(source["first_marker_offset"]) + 8
for folder, code in [("AI New A320", 0), ("AI New B737", 0), ("AI Old A320", 2), ("AI Old B737", 2),
                     ("TRAINING Cessna 152", 0), ("Piper Cub", 0), ("Bell 206", 1)]:
    os.makedirs(os.path.join(fleet, folder))
    data[at] = code
    open(os.path.join(fleet, folder, "plane.air"), "wb").write(data)
PYEOF
wine build/windows/tools/marking_driver.exe "Z:${root//\//\\}\\build\\windows\\ui\\korvalis.exe"
