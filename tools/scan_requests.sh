#!/usr/bin/env bash
# Counts the Wine server's requests of the scan against one thread's floor: a traced wineserver
# (started before any other program of its prefix), tools/scan_requests.exe on a fleet of about
# 2,000 folders, and the requests of that program's own threads between its named events.
#   tools/scan_requests.sh READERS [ROUNDS] [WORKDIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
readers=${1:-1}
rounds=${2:-3}
work=$(realpath -m "${3:-build/bench/work}")
fleet="$work/fleet-2000/Aircraft"
if [ ! -d "$fleet" ]; then
  cmake --preset bench >/dev/null && cmake --build --preset bench --target fleetgen >/dev/null
  build/bench/tools/fleetgen "$fleet" 2000 42 2 >/dev/null
fi
prefix="$root/build/windows/requests-prefix"
scripts/wine-prefix "$prefix" null
source scripts/wine-env "$prefix"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
trace=$(mktemp)
trap 'wineserver -k 2>/dev/null || true; rm -f "$trace"' EXIT
wineserver -d2 -f -p 600 2>"$trace" &
sleep 1
wine cmd /c exit >/dev/null 2>&1 || true
wine build/windows/tools/scan_requests.exe "Z:${fleet//\//\\}" "$readers" "$rounds"
wineserver -k 2>/dev/null || true
wait || true
python3 tools/scan_requests_count.py "$trace" "$(find "$fleet" -name '*.air' | wc -l)"
