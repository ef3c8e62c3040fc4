#!/usr/bin/env bash
# From outside, as a user would: Flight Simulator 2004 recorded under C:\Program Files (x86) in
# a Wine prefix, three aircraft, the AI one with a copy in the user's VirtualStore that holds
# another type. korvalis.exe (the release build) lists them (the status counts one copy), then
# "Find AITraffic Aircrafts", Helicopter, Write: the file and the copy are both written, each
# with a backup equal to it before; then "Restore type from backup" puts both back. Then
# korvalis-cli.exe does the same from the command line, the copy on a line of its own.
#   tools/virtualstore_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
corpus=$(realpath ../shared/air-corpus)
cmake --preset windows >/dev/null && cmake --build --preset windows --target korvalis korvalis-cli virtualstore_driver >/dev/null

source tools/outside_prefix.sh vstore 'C:\Program Files (x86)\Microsoft Games\Flight Simulator 9\'

fs="$prefix/drive_c/Program Files (x86)/Microsoft Games/Flight Simulator 9"
local=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
store="$local/VirtualStore/Program Files (x86)/Microsoft Games/Flight Simulator 9"
rm -rf "$fs" "$local/VirtualStore"

# Three aircraft from the corpus, each holding a type marker; the AI one's copy is non flyable.
python3 - "$corpus" "$fs/aircraft" "$store/aircraft" <<'EOF'
import csv, os, shutil, sys
corpus, fleet, store = sys.argv[1:]
rows = [r for r in csv.DictReader(open(os.path.join(corpus, "MANIFEST.tsv")), delimiter="\t")
        if r["first_marker_offset"] and r["type_byte"] == "0"]
for folder, row in zip(["AI Cessna 172", "Piper Cub", "Beech Baron"], rows):
    os.makedirs(os.path.join(fleet, folder))
    shutil.copy(os.path.join(corpus, "files", row["file"]), os.path.join(fleet, folder, "plane.air"))
os.makedirs(os.path.join(store, "AI Cessna 172"))
copy = os.path.join(store, "AI Cessna 172", "plane.air")
shutil.copy(os.path.join(fleet, "AI Cessna 172", "plane.air"), copy)
data = bytearray(open(copy, "rb").read())
data[int(rows[0]["first_marker_offset"]) + 8] = 2
open(copy, "wb").write(data)
EOF
chmod -R u+w "$fs" "$store"  # the corpus's files are read-only
file="$fs/aircraft/AI Cessna 172/plane.air"
copy="$store/aircraft/AI Cessna 172/plane.air"
before_file=$(mktemp) before_copy=$(mktemp)
cp "$file" "$before_file"
cp "$copy" "$before_copy"
type_of() {
  python3 -c 'import sys
d=open(sys.argv[1],"rb").read(); i=d.find(bytes([5,1,0,0,4,0,0,0])); print(d[i+8])' "$1"
}
failed=0
check() {  # what, condition
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failed=1; fi
}

exe="C:\\korvalis.exe"
cp build/windows/ui/korvalis.exe "$prefix/drive_c/korvalis.exe"
echo "== list, Find AITraffic Aircrafts, Helicopter, Write"
out=$(wine build/windows/tools/virtualstore_driver.exe "$exe" write)
echo "$out"
check "the status counts one copy" 'grep -q "^status: .*1 .air file has a copy in the VirtualStore" <<<"$out"'
check "the write says 1 written" 'grep -q "^after write: 1 written" <<<"$out"'
check "the file holds Helicopter" '[ "$(type_of "$file")" = 1 ]'
check "the copy holds Helicopter" '[ "$(type_of "$copy")" = 1 ]'
check "the file's backup equals it before" 'cmp -s "$file.KRVL_bak" "$before_file"'
check "the copy's backup equals it before" 'cmp -s "$copy.KRVL_bak" "$before_copy"'
check "no other backup" '[ "$(find "$fs" "$store" -name "*.KRVL_bak" | wc -l)" = 2 ]'

echo "== list, Find AITraffic Aircrafts, Restore type from backup"
out=$(wine build/windows/tools/virtualstore_driver.exe "$exe" restore)
echo "$out"
check "the restore says 1 restored" 'grep -q "^after restore: 1 restored" <<<"$out"'
check "the file is as before" 'cmp -s "$file" "$before_file"'
check "the copy is as before" 'cmp -s "$copy" "$before_copy"'

echo "== korvalis-cli set helicopter --sim fs2004 --ai, then restore"
cli=build/windows/cli/korvalis-cli.exe
out=$(wine "$cli" set helicopter --sim fs2004 --ai 2>&1 | tr -d '\r')
echo "$out"
check "a line for the file, then one for its copy" \
  '[ "$(grep -c "^written" <<<"$out")" = 2 ] && grep -A1 "^written.*Flight Simulator 9.*aircraft" <<<"$out" | grep -q "VirtualStore"'
check "both hold Helicopter" '[ "$(type_of "$file")" = 1 ] && [ "$(type_of "$copy")" = 1 ]'
out=$(wine "$cli" restore --sim fs2004 --ai 2>&1 | tr -d '\r')
echo "$out"
check "both restored" '[ "$(grep -c "^restored" <<<"$out")" = 2 ]'
check "the file and the copy are as before" 'cmp -s "$file" "$before_file" && cmp -s "$copy" "$before_copy"'
rm -f "$before_file" "$before_copy"
exit $failed
