#!/usr/bin/env bash
# Puts quorvel.exe in a folder with everything it needs on a Windows PC: the
# Qt and MinGW DLLs it loads, the platform, style and print plugins, and Qt's
# Russian texts; binaries stripped.
#   bundle.sh QT_PREFIX QUORVEL_EXE FOLDER
set -euo pipefail
qt=$1
exe=$2
bundle=$3

rm -rf "$bundle"
mkdir -p "$bundle/plugins" "$bundle/translations"
cp "$exe" "$bundle/"
# Qt finds its plugins and translations beside the program.
printf '[Paths]\nPrefix=.\n' >"$bundle/qt.conf"
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
  mkdir -p "$bundle/plugins/$(dirname "$plugin")"
  cp "$qt/plugins/$plugin" "$bundle/plugins/$plugin"
done
if [ -d "$qt/plugins/printsupport" ]; then
  cp -r "$qt/plugins/printsupport" "$bundle/plugins/"
fi
cp /usr/share/qt6/translations/qtbase_ru.qm "$bundle/translations/"

# Every DLL the program and its plugins import, found in Qt's and MinGW's
# folders; the rest are Windows' own.
mingw_gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
search=("$qt/bin" "$mingw_gcc" /usr/x86_64-w64-mingw32/lib /usr/x86_64-w64-mingw32/bin)
queue=("$bundle/quorvel.exe")
while IFS= read -r -d '' plugin; do queue+=("$plugin"); done < <(find "$bundle/plugins" -name '*.dll' -print0)
declare -A seen=()
while [ ${#queue[@]} -gt 0 ]; do
  binary=${queue[0]}
  queue=("${queue[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p'); do
    key=${dll,,}
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$bundle/"
        queue+=("$bundle/$dll")
        break
      fi
    done
  done
done
find "$bundle" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
