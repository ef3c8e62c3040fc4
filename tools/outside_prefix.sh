# Sourced by the outside checks: a Wine prefix of their own under build/windows, its server
# started now and ended with the script, and FS2004's record of the 32-bit view where a real
# installation writes it.
#   source tools/outside_prefix.sh NAME SIMULATOR_FOLDER_AS_WINDOWS_PATH
prefix="$(pwd)/build/windows/$1-prefix"
scripts/wine-prefix "$prefix" null
source scripts/wine-env "$prefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p 30 2>/dev/null || true
wine cmd /c exit >/dev/null 2>&1 || true
wine reg add 'HKLM\SOFTWARE\Microsoft\Microsoft Games\Flight Simulator\9.0' /v 'EXE Path' \
  /d "$2" /reg:32 /f >/dev/null
