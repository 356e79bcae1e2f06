#!/usr/bin/env bash
# Builds Qt for 64-bit Windows with MinGW-w64 from Debian's own qtbase source,
# the same release as the host's Qt, and prints the prefix it lives in.
# The result is cached under ~/.cache/quorvel/ keyed by version and options,
# so only the first run pays for it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_upstream=${qt_version%%-*}
qt_upstream=${qt_upstream#*:}
qt_upstream=${qt_upstream%%+*}

# Only what the client and its tests need. tabletevent is off because
# Debian repacks the source without the wintab header.
options=(
  -release -shared -no-dbus -no-icu -nomake examples -nomake tests
  -no-feature-sql -no-feature-concurrent -no-feature-tabletevent
)
key=$(printf '%s\n' "$qt_version" "${options[@]}" "$(cat "$here/mingw-w64.cmake")" | sha256sum | cut -c1-12)
cache=${QUORVEL_CACHE:-$HOME/.cache/quorvel}
prefix="$cache/qt-$qt_upstream-mingw64-$key"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work="$cache/qt-build-$key"
mkdir -p "$work"
cd "$work"
# Qt remembers the toolchain file by path; a copy in the cache outlives the
# checkout that built it.
cp "$here/mingw-w64.cmake" "$work/mingw-w64.cmake"
if [ ! -d src ]; then
  # A private source list and lists folder for this one call, built from the
  # URIs the machine's own Debian sources use, so apt's configuration is left
  # as it is. apt checks the .dsc against the signed Sources index.
  apt_dir="$work/apt"
  mkdir -p "$apt_dir/lists/partial"
  uris=$(grep -h -E '^(URIs:|deb )' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
    grep -o 'https\?://[^ ]*debian[^ ]*' | sort -u || true)
  : >"$apt_dir/sources.list"
  for uri in $uris; do
    case "$uri" in
      *security*) echo "deb-src $uri bookworm-security main" >>"$apt_dir/sources.list" ;;
      *) echo "deb-src $uri bookworm bookworm-updates main" >>"$apt_dir/sources.list" ;;
    esac
  done
  apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::archives=$apt_dir")
  apt-get "${apt_opts[@]}" update -qq >&2
  rm -rf fetch && mkdir fetch
  (cd fetch && apt-get "${apt_opts[@]}" source -qq "qt6-base=$qt_version" >&2)
  mv "$(find fetch -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)" src
  rm -rf fetch
fi

rm -rf build
mkdir build
cd build
staging="$prefix.partial"
rm -rf "$staging"
"$work/src/configure" -prefix "$staging" -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
  "${options[@]}" -- -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/mingw-w64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF >&2
nice -n 10 cmake --build . --parallel "$(nproc)" >&2
cmake --install . >&2
rm -rf "$prefix"
mv "$staging" "$prefix"
touch "$prefix/.complete"
echo "$prefix"
