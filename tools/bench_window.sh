#!/usr/bin/env bash
# The main window's benchmarks under Wine (see BENCHMARKS.md). Makes the fleets natively (creating
# tens of thousands of files from inside Wine is slow), a Wine prefix of its own in which FS2004
# is recorded at the largest fleet, then runs bench_window.exe and its memory figure, the answers
# once more with two other processes keeping both processors busy, and the server requests
# (tools/bench_requests.sh).
#   tools/bench_window.sh [WORKDIR]      (default build/bench-work)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(realpath -m "${1:-build/bench-work}")
scripts/install-deps test
cmake --preset bench >/dev/null && cmake --build --preset bench --target fleetgen bench_scan >/dev/null
cmake --preset windows >/dev/null && cmake --build --preset windows --target bench_window sampler korvalis >/dev/null

for folders in 2000 5000 20000 27300; do
  fleet="$work/fleet2-$folders"
  if [ ! -f "$fleet/.complete" ]; then
    rm -rf "$fleet"
    build/bench/tools/fleetgen "$fleet/Aircraft" "$folders" 42 2 >/dev/null
    echo ok > "$fleet/.complete"
  fi
done

echo "== native: scan into the in-memory list"
build/bench/tools/bench_scan "$work" 5000

prefix="$root/build/windows/bench-prefix"
scripts/wine-prefix "$prefix" null
source scripts/wine-env "$prefix"
busy=()
trap 'kill "${busy[@]}" 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
wine reg add 'HKLM\SOFTWARE\Microsoft\Microsoft Games\Flight Simulator\9.0' /v 'EXE Path' \
  /d "Z:${work//\//\\}\\fleet2-27300" /reg:32 /f >/dev/null
echo "== Wine: the main window"
wine build/windows/tools/bench_window.exe "Z:${work//\//\\}"
wine build/windows/tools/bench_window.exe "Z:${work//\//\\}" memory "Z:${root//\//\\}\\build\\windows\\ui\\korvalis.exe"

echo "== Wine: answers with two other processes keeping both processors busy"
for _ in 1 2; do
  (while :; do :; done) &
  busy+=($!)
done
wine build/windows/tools/bench_window.exe "Z:${work//\//\\}" respond
kill "${busy[@]}"
busy=()
wineserver -k 2>/dev/null || true

echo "== Wine: server requests (traced server)"
tools/bench_requests.sh "$work"
