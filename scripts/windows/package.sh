#!/usr/bin/env bash
# Packages a bundled folder as the NSIS installer and a zip beside it:
#   package.sh FOLDER ICON VERSION
# writes FOLDER-setup.exe and FOLDER.zip (FOLDER is quorvel-VERSION-win64).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bundle=$(cd "$1" && pwd)
icon=$(realpath "$2") # makensis reads paths from the script's folder
version=$3
out=$(dirname "$bundle")
name=$(basename "$bundle")
lists="$out/nsis"
mkdir -p "$lists"

# The installer copies and later deletes exactly the bundle's files, so an
# uninstall never removes what the user put in the folder.
files=$(cd "$bundle" && find . -type f | sort | sed 's|^\./||')
dirs=$(cd "$bundle" && find . -mindepth 1 -type d | sort | sed 's|^\./||')
{
  for dir in $dirs; do echo "CreateDirectory \"\$INSTDIR\\${dir//\//\\}\""; done
  for file in $files; do echo "File \"/oname=${file//\//\\}\" \"$bundle/$file\""; done
} >"$lists/install-files.nsh"
{
  for file in $files; do echo "Delete \"\$INSTDIR\\${file//\//\\}\""; done
  for dir in $(echo "$dirs" | sort -r); do echo "RMDir \"\$INSTDIR\\${dir//\//\\}\""; done
} >"$lists/uninstall-files.nsh"

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DLICENSE="$root/LICENSE" -DICON="$icon" \
  -DLISTS="$lists" -DINSTALLED_KB="$(du -sk "$bundle" | cut -f1)" -DOUTFILE="$out/$name-setup.exe" \
  "$root/dist/windows/quorvel.nsi" >&2
rm -f "$out/$name.zip"
(cd "$out" && zip -q -r -9 "$name.zip" "$name")
