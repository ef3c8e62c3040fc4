#!/usr/bin/env bash
# check_imports.sh ALLOWED EXE...: fails when an EXE imports a function that the list ALLOWED
# does not name. A line of the list is "dll!Function", optionally followed by the Windows
# version that first had the function ("Vista", "7"); a function newer than Windows 7 is not
# allowed at all: the program must load it with GetProcAddress and have a fallback.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 ALLOWED EXE..." >&2; exit 2; }
allowed=$1
shift

# The list's entries, lower-case DLL names; a version other than Vista or 7 is a mistake.
entries=$(sed 's/#.*//' "$allowed" | awk 'NF { split($1, p, "!"); print tolower(p[1]) "!" p[2], $2 }')
status=0
while read -r entry version; do
  [ -n "$entry" ] || continue
  case "${version:-}" in
    "" | Vista | 7) ;;
    *) echo "$allowed: $entry is from Windows $version; load it with GetProcAddress instead" >&2; status=1 ;;
  esac
done <<<"$entries"
names=$(awk '{ print $1 }' <<<"$entries" | sort -u)

for exe in "$@"; do
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '
    /^The Import Tables/ { on = 1; next }
    on && /^The .* Tables|^PE File Base Relocations|^The Export/ { on = 0 }
    on && /DLL Name:/ { dll = tolower($3); next }
    on && dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll "!" $NF }
  ' | sort -u)
  grep -q '^kernel32\.dll!' <<<"$imports" || { echo "$exe: no imports read" >&2; status=1; continue; }
  extra=$(comm -23 <(echo "$imports") <(echo "$names"))
  if [ -n "$extra" ]; then
    echo "$exe imports functions not on $allowed (add each with the Windows version that has it):" >&2
    sed 's/^/  /' <<<"$extra" >&2
    status=1
  fi
done
exit $status
