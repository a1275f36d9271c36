#!/usr/bin/env bash
# Lays out the web page in DIST (default dist/web) from the web build in BUILD (default build-web): the page
# (web/index.html), the program (skarnhold.js, skarnhold.wasm), its packed data (skarnhold.data) and the
# licences of the fonts it carries (licences/).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-web}
DIST=${2:-$ROOT/dist/web}
rm -rf "$DIST"
mkdir -p "$DIST/licences"
cp "$ROOT/web/index.html" "$BUILD/skarnhold.js" "$BUILD/skarnhold.wasm" "$BUILD/skarnhold.data" "$DIST/"
for pkg in fonts-cherrybomb fonts-dejavu-core fonts-freefont-ttf; do
    cp "/usr/share/doc/$pkg/copyright" "$DIST/licences/$pkg.txt"
done
size=$(cat "$DIST"/skarnhold.{js,wasm,data} | gzip -9 | wc -c)
echo "web: $DIST ready; script + wasm + data are $((size / 1024)) KiB gzipped"
