#!/usr/bin/env bash
# Installs the independent Access reader used by the interoperability tests (the npm package
# mdb-reader, pinned) into the build folder. Does nothing when it is already there.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dest=${ORVANE_BUILD_DIR:-$root/build}/npm
version=3.2.0
if [ -f "$dest/node_modules/mdb-reader/package.json" ] &&
   grep -q "\"version\": \"$version\"" "$dest/node_modules/mdb-reader/package.json"; then
  exit 0
fi
mkdir -p "$dest"
[ -f "$dest/package.json" ] || echo '{"name":"orvane-test-readers","private":true}' >"$dest/package.json"
echo "setup: installing mdb-reader@$version with npm" >&2
npm install --prefix "$dest" --no-audit --no-fund --silent "mdb-reader@$version" >&2
