#!/usr/bin/env bash
# Lays out the web page in DIST (default dist/web) from the web build in BUILD (default build-web): the page
# (web/index.html), the program (skarnhold.js, skarnhold.wasm), its packed data (skarnhold.data) and, in
# licences/, the licences of everything the page carries: the game's own, those of the libraries built into
# the program (from their Debian source packages in BUILD/deps/src), of emscripten's runtime and of the
# fonts (from Debian's font packages), listed in licences/index.html, which the page links to.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-web}
DIST=${2:-$ROOT/dist/web}
rm -rf "$DIST"
mkdir -p "$DIST/licences"
cp "$ROOT/web/index.html" "$BUILD/skarnhold.js" "$BUILD/skarnhold.wasm" "$BUILD/skarnhold.data" "$DIST/"

# name | what it is | licence file
entries=("skarnhold.txt|Skarnhold, the game|$ROOT/LICENSE")
for stamp in "$BUILD"/deps/prefix/.built-*; do # each names the source folder built (scripts/web-deps.sh)
    name=$(cut -d ' ' -f 1 "$stamp")
    entries+=("$name.txt|$name, built into the program from Debian's source package|$BUILD/deps/src/$name/debian/copyright")
done
entries+=("emscripten.txt|emscripten's runtime, part of the program|/usr/share/doc/emscripten/copyright")
for pkg in fonts-cherrybomb fonts-dejavu-core fonts-freefont-ttf; do
    entries+=("$pkg.txt|The fonts of Debian's package $pkg|/usr/share/doc/$pkg/copyright")
done

{
    echo '<!doctype html><html lang="en"><head><meta charset="utf-8"><title>Skarnhold: licences</title></head>'
    echo '<body><h1>Skarnhold: licences</h1><p>The page carries these works; each link is its licence.</p><ul>'
    for entry in "${entries[@]}"; do
        IFS='|' read -r file what source <<<"$entry"
        cp "$source" "$DIST/licences/$file"
        echo "<li><a href=\"$file\">$what</a></li>"
    done
    echo '</ul><p><a href="../index.html">Back to the game</a></p></body></html>'
} >"$DIST/licences/index.html"

size=$(cat "$DIST"/skarnhold.{js,wasm,data} | gzip -9 | wc -c)
echo "web: $DIST ready; script + wasm + data are $((size / 1024)) KiB gzipped"
