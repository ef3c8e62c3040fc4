#!/usr/bin/env bash
# Folders some catalogue tests read, made on the Linux side for both builds. Usage: make_folders.sh DIR
#
# DIR/big-folder/Aircraft/Big: 50,000 entries, entryN.air (a typed .air file of type N % 3)
# for every fifth N, an empty entryN.txt otherwise. Under Wine each new file costs a search
# of its whole folder, so the test program itself would take minutes to make them.
#
# DIR/linked-folder/Aircraft/Linked folder: a symbolic link to ../Elsewhere/Real folder,
# which holds linked.air of type 0. Wine can make no link of its own, yet shows this one.
#
# DIR/broken-link/Aircraft/AI Broken Link A320: its only .air entry, x.air, is a symbolic link
# to nothing. Wine 8's "*.air" search answers such a folder "no more files" at once.
set -euo pipefail
air() { printf "\001\000\000\000\014\000\000\000\005\001\000\000\004\000\000\000\00$1AB"; }

big="$1/big-folder"
# Only read by the tests, so one made earlier serves again.
if [ ! -f "$big/complete" ]; then
  rm -rf "$big"
  mkdir -p "$big/Aircraft/Big"
  (
    cd "$big/Aircraft/Big"
    for ((i = 0; i < 50000; i++)); do
      if ((i % 5 == 0)); then air $((i % 3)) >"entry$i.air"; else : >"entry$i.txt"; fi
    done
  )
  : >"$big/complete"
fi

linked="$1/linked-folder"
rm -rf "$linked"
mkdir -p "$linked/Aircraft" "$linked/Elsewhere/Real folder"
air 0 >"$linked/Elsewhere/Real folder/linked.air"
ln -s "../Elsewhere/Real folder" "$linked/Aircraft/Linked folder"

broken="$1/broken-link"
rm -rf "$broken"
mkdir -p "$broken/Aircraft/AI Broken Link A320"
ln -s "nowhere.air" "$broken/Aircraft/AI Broken Link A320/x.air"
