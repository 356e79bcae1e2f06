#!/usr/bin/env bash
# Runs a program built for Windows under Wine, as ctest does in build-windows/
# (CMAKE_CROSSCOMPILING_EMULATOR):
#   wine-run.sh QT_PREFIX PREFIX_FOLDER PROGRAM [ARGUMENTS...]
# The Wine prefix is made once in PREFIX_FOLDER; Qt's DLLs and plugins and
# MinGW's runtime are found where they were built, not copied.
set -euo pipefail
qt=$1
folder=$2
shift 2
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
mkdir -p "$folder/home"
export WINEPREFIX="$folder/prefix" WINEDEBUG=-all HOME="$folder/home"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
# Tests run side by side; one of them makes the prefix.
flock "$folder/prefix.lock" sh -c '[ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i >/dev/null 2>&1'
mingw=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
WINEPATH="$(windows_path "$qt/bin");$(windows_path "$mingw");$(windows_path /usr/x86_64-w64-mingw32/lib)"
QT_PLUGIN_PATH=$(windows_path "$qt/plugins")
export WINEPATH QT_PLUGIN_PATH
# Under Wine the test programs do not pick QT_QPA_PLATFORM up and fall back to
# the windows plugin, which has no display to draw on: programs with a GUI get
# it as Qt's own option (a program without one refuses the option).
if [ -n "${QT_QPA_PLATFORM:-}" ] &&
  x86_64-w64-mingw32-objdump -p "$1" | grep 'DLL Name: Qt6Gui.dll' >/dev/null; then
  set -- "$@" -platform "$QT_QPA_PLATFORM"
fi
# Their QTest report does not reach Wine's standard output, so a failure under
# ctest would say nothing: test programs write it to a file, shown afterwards.
if x86_64-w64-mingw32-objdump -p "$1" | grep 'DLL Name: Qt6Test.dll' >/dev/null; then
  report=$(mktemp)
  trap 'rm -f "$report"' EXIT
  status=0
  wine "$@" -o "$(windows_path "$report"),txt" || status=$?
  cat "$report"
  exit "$status"
fi
exec wine "$@"
