#!/usr/bin/env bash
# The release zip as a user meets it: unpacked into a fresh folder whose path holds a space and
# a non-ASCII character, started under Wine in a fresh prefix where Flight Simulator 2004 is
# recorded, made to scan a small fleet and closed. It must list the fleet and write nothing:
# no file anywhere in the folder, no registry key named after it.
# korvalis-cli.exe from the zip lists the same fleet through a pipe and its dry run writes nothing;
# the native korvalis-cli from the tarball, when given, reads the same prefix's record and writes.
# Usage: zip_smoke.sh ZIP DRIVER_EXE WORK_DIR [TARBALL]   (the prefix is made in WORK_DIR)
set -euo pipefail
zip=$(realpath "$1")
driver=$(realpath "$2")
work=$(realpath -m "$3")
tarball=${4:+$(realpath "$4")}
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
fail() { echo "zip smoke test FAILED: $*" >&2; exit 1; }
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }

name=$(basename "$zip" -win64.zip)
expected="$name/
$name/korvalis.exe
$name/korvalis-cli.exe
$name/README.txt
$name/LICENSE.txt
$name/CHANGES.txt
$name/THIRD-PARTY.txt"
[ "$(unzip -Z1 "$zip")" = "$expected" ] || fail "the zip holds $(unzip -Z1 "$zip" | tr '\n' ' ')"

prefix="$work/wine-prefix"
rm -rf "$work"
mkdir -p "$work"
folder=$(mktemp -d "${TMPDIR:-/tmp}/zip test Prüfung.XXXXXX")
source "$scripts/wine-env" "$prefix"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$folder"' EXIT
unzip -q "$zip" -d "$folder"

# The fleet: four aircraft one folder below the aircraft directory, a file that is no .air
# file and one .air file a folder too deep, neither listed.
sim="$folder/Flight Simulator 9"
air() { mkdir -p "$(dirname "$1")"; printf '\x05\x01\x00\x00\x04\x00\x00\x00'"$2" >"$1"; }
air "$sim/Aircraft/Cessna 172/c172.air" '\x00'
air "$sim/Aircraft/AI Boeing 737/ai737.air" '\x00'
air "$sim/Aircraft/Bell 206 Jägerblau/bell206.air" '\x01'
air "$sim/Aircraft/Static Hangar/hangar.air" '\x02'
air "$sim/Aircraft/Static Hangar/Deep/deep.air" '\x00'
echo "[fltsim.0]" >"$sim/Aircraft/Cessna 172/aircraft.cfg"
rows=4

"$scripts/wine-prefix" "$prefix" null
wine reg add 'HKLM\SOFTWARE\Microsoft\Microsoft Games\Flight Simulator\9.0' \
  /v 'EXE Path' /d "$(windows_path "$sim")" /reg:32 /f >/dev/null
before=$(find "$folder" -printf '%P %y %s %T@\n' | sort)

timeout 180 wine "$driver" "$(windows_path "$folder/$name/korvalis.exe")" "$rows" ||
  fail "korvalis.exe from the zip did not run as expected"

# The console program from the zip, its output through a pipe: UTF-8, CR LF, the rows in order.
cli_rows() { cut -f1-3 | tr -d '\r'; }
expected_rows="Dir	Airfile	Aircraft type
AI Boeing 737	ai737.air	Aircraft
Bell 206 Jägerblau	bell206.air	Helicopter
Cessna 172	c172.air	Aircraft
Static Hangar	hangar.air	non flyable"
listed=$(timeout 120 wine "$(windows_path "$folder/$name/korvalis-cli.exe")" list --sim fs2004) ||
  fail "korvalis-cli.exe list --sim fs2004 failed"
[ "$(cli_rows <<<"$listed")" = "$expected_rows" ] || fail "korvalis-cli.exe listed: $listed"
grep -q $'\r$' <<<"$listed" || fail "korvalis-cli.exe's lines do not end in CR LF"
timeout 120 wine "$(windows_path "$folder/$name/korvalis-cli.exe")" set non-flyable --sim fs2004 --all --dry-run \
  >/dev/null 2>&1 || fail "korvalis-cli.exe's dry run failed"

after=$(find "$folder" -printf '%P %y %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "files changed: $(diff <(echo "$before") <(echo "$after") | tail -n +2)"

# Each query must show a key known to be there, so that an empty answer cannot pass.
query() {  # query KEY VIEW KNOWN_KEY
  local out
  out=$(wine reg query "$1" /s "/reg:$2" 2>&1) || fail "reg query $1 /reg:$2 failed"
  grep -aqiF "$3" <<<"$out" || fail "reg query $1 /reg:$2 does not show $3"
  local named
  named=$(grep -aiE '^HKEY_.*korvalis' <<<"$out" || true)
  [ -z "$named" ] || fail "a registry key named after Korvalis in $1 /reg:$2: $named"
}
query 'HKCU\Software' 32 'HKEY_CURRENT_USER\Software\Wine'
query 'HKCU\Software' 64 'HKEY_CURRENT_USER\Software\Wine'
query 'HKLM\Software' 32 'Microsoft Games\Flight Simulator\9.0'
query 'HKLM\Software' 64 'HKEY_LOCAL_MACHINE\Software\Microsoft'
echo "zip smoke test passed: $name lists the fleet and writes nothing beside it or to the registry"

if [ -n "$tarball" ]; then
  # Wine writes the registry file once its server is idle; this waits for that.
  wineserver -w
  tar -xzf "$tarball" -C "$work"
  cli="$work/$(basename "$tarball" -linux-x86_64.tar.gz)/korvalis-cli"
  listed=$("$cli" list --sim fs2004 --prefix "$prefix") || fail "the tarball's korvalis-cli list failed"
  [ "$(cli_rows <<<"$listed")" = "$expected_rows" ] || fail "the tarball's korvalis-cli listed: $listed"
  ai="$sim/Aircraft/AI Boeing 737/ai737.air"
  original=$(od -An -tx1 "$ai")
  "$cli" set non-flyable --sim fs2004 --prefix "$prefix" --ai 2>/dev/null | grep -q "^written	" ||
    fail "the tarball's korvalis-cli did not write the AI row"
  [ "$(od -An -tx1 "$ai.KRVL_bak")" = "$original" ] || fail "the backup does not hold the original"
  [ "$(od -An -tx1 "$ai" | tr -s ' ')" = "$(echo " 05 01 00 00 04 00 00 00 02")" ] || fail "ai737.air: $(od -An -tx1 "$ai")"
  "$cli" set non-flyable --sim fs2004 --prefix "$prefix" --ai 2>/dev/null | grep -q "^unchanged	" ||
    fail "a second run did not leave the row unchanged"
  [ "$(od -An -tx1 "$ai.KRVL_bak")" = "$original" ] || fail "a second run replaced the backup"
  echo "tarball smoke test passed: the native korvalis-cli reads the prefix's record, writes and keeps the backup"
fi
