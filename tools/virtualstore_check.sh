#!/usr/bin/env bash
# From outside, as a user would: FS2004 recorded under C:\Program Files (x86) in the prefix, three
# aircraft, one with a copy in the user's VirtualStore holding another type. korvalis.exe (the
# release build) under Wine lists them, and virtualstore_driver chooses "Find AITraffic Aircrafts",
# "Helicopter" and "Write", then "Find AITraffic Aircrafts" and "Restore type from backup". The
# status must count one copy; Write must write the file and the copy, each with a backup equal to
# it before; Restore must put both back.
#   tools/virtualstore_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
cmake --preset windows >/dev/null && cmake --build --preset windows --target korvalis virtualstore_driver >/dev/null

prefix="$root/build/windows/virtualstore-prefix"
scripts/wine-prefix "$prefix" null
source scripts/wine-env "$prefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p 30 2>/dev/null || true
wine cmd /c exit >/dev/null 2>&1 || true
fs9='Program Files (x86)/Microsoft Games/Flight Simulator 9'
wine reg add 'HKLM\SOFTWARE\Microsoft\Microsoft Games\Flight Simulator\9.0' /v 'EXE Path' \
  /d "C:\\${fs9//\//\\}" /reg:32 /f >/dev/null
user=$(wine cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
aircraft="$prefix/drive_c/$fs9/Aircraft"
store="$prefix/drive_c/users/$user/AppData/Local/VirtualStore/$fs9/Aircraft"
rm -rf "$aircraft" "$store"

python3 - "$aircraft" "$store" <<'PY'
import os, sys
aircraft, store = sys.argv[1:3]
def put(path, head, type_):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(head + bytes([5, 1, 0, 0, 4, 0, 0, 0, type_]) + b"tail")
put(f"{aircraft}/AI Boeing 737/b737.air", b"file", 0)
put(f"{aircraft}/Cessna/c172.air", b"file", 0)
put(f"{aircraft}/Piper/piper.air", b"file", 0)
put(f"{store}/AI Boeing 737/B737.AIR", b"copy", 2)  # the name's case as another program wrote it
PY
file="$aircraft/AI Boeing 737/b737.air"
copy="$store/AI Boeing 737/B737.AIR"
before_file=$(mktemp); before_copy=$(mktemp)
cp "$file" "$before_file"; cp "$copy" "$before_copy"

exe="Z:${root//\//\\}\\build\\windows\\ui\\korvalis.exe"
output=$(wine build/windows/tools/virtualstore_driver.exe "$exe" write | tr -d "\r")
echo "$output"

type_of() { python3 -c 'import sys; b=open(sys.argv[1],"rb").read(); m=bytes([5,1,0,0,4,0,0,0]); print(b[b.index(m)+8])' "$1"; }
failed=0
check() {  # what, expected, actual
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1: expected '$2', got '$3'"; failed=1; fi
}
check "the status counts one copy" yes \
  "$(grep -q '^after the scan: .*1 .air file has a copy in the VirtualStore' <<<"$output" && echo yes || echo no)"
check "the write's status" yes "$(grep -q '^after the write: 1 written$' <<<"$output" && echo yes || echo no)"
check "the file written" "1" "$(type_of "$file")"
check "the copy written" "1" "$(type_of "$copy")"
check "the file's backup equals it before" yes "$(cmp -s "$before_file" "$file.KRVL_bak" && echo yes || echo no)"
check "the copy's backup equals it before" yes "$(cmp -s "$before_copy" "$copy.KRVL_bak" && echo yes || echo no)"
check "no other file written" "" "$(find "$aircraft" -name '*.KRVL_bak' ! -path '*AI Boeing*')"
output=$(wine build/windows/tools/virtualstore_driver.exe "$exe" restore | tr -d "\r")
echo "$output"
check "the restore's status" yes "$(grep -q '^after the restore: 1 restored$' <<<"$output" && echo yes || echo no)"
check "the file restored" yes "$(cmp -s "$before_file" "$file" && echo yes || echo no)"
check "the copy restored" yes "$(cmp -s "$before_copy" "$copy" && echo yes || echo no)"
rm -f "$before_file" "$before_copy"
exit "$failed"
