#!/usr/bin/env bash
# The Wine server requests of a scan of about 2,000 folders and of a 1,000-file write, each beside
# its floor's, by thread and by request name (see BENCHMARKS.md). The server is started with
# tracing before any Wine program of the prefix runs; tools/count_requests.py reads the trace.
#   tools/bench_requests.sh [WORKDIR]      (default build/bench-work; builds nothing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(realpath -m "${1:-build/bench-work}")
fleet="$work/fleet2-2000"
if [ ! -f "$fleet/.complete" ]; then
  rm -rf "$fleet"
  build/bench/tools/fleetgen "$fleet/Aircraft" 2000 42 2 >/dev/null
  echo ok > "$fleet/.complete"
fi
prefix="$root/build/windows/bench-prefix"
scripts/wine-prefix "$prefix" null
source scripts/wine-env "$prefix"
trace="$work/requests.trace"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -d2 -f -p 600 2>"$trace" &
server=$!
sleep 1
wine cmd /c exit >/dev/null 2>&1 || true
wine build/windows/tools/bench_window.exe "Z:${work//\//\\}" requests
wineserver -k 2>/dev/null || true
wait "$server" 2>/dev/null || true
python3 tools/count_requests.py "$trace"
[ -n "${KEEP_TRACE:-}" ] || rm -f "$trace"
