#!/usr/bin/env bash
# Maps a drive of the Windows tests' Wine prefix to a fresh, empty folder, or ("remove")
# takes the mapping away. Usage: map_drive.sh LETTER FOLDER [remove]
#
# Wine serves drive X: from the symbolic link $WINEPREFIX/dosdevices/x:. A drive mapped
# while the wineserver runs opens at once, but GetLogicalDrives lists it only once the server restarts.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
letter=$1 folder=$2 mode=${3:-map}
# The prefix scripts/wine-exec runs the tests in.
prefix="${KORVALIS_WINEPREFIX:-$here/../../build/windows/wine-prefix}"
"$here/../../scripts/wine-prefix" "$prefix" null
link="$prefix/dosdevices/$letter:"
# A drive mapped to anything else belongs to someone else: neither replaced nor removed.
if { [ -e "$link" ] || [ -L "$link" ]; } && [ "$(readlink "$link")" != "$folder" ]; then
  echo "map_drive.sh: drive $letter: of $prefix is in use, left as it is" >&2
  [ "$mode" = remove ] && exit 0
  exit 1
fi
rm -rf "$folder"
rm -f "$link"
if [ "$mode" != remove ]; then
  mkdir -p "$folder"
  ln -s "$folder" "$link"
fi
