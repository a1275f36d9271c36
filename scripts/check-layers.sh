#!/usr/bin/env bash
# Dependencies point one way: every folder of src/ includes only itself and the folders below it,
#   app -> states -> level -> framework -> engine -> platform -> SDL,
# and only the platform includes SDL and emscripten's headers. Prints every include that breaks the order;
# exits 1 if there is one.
#   scripts/check-layers.sh [SRC_DIR]   (default: src/ beside this script)
set -u
src=${1:-$(dirname "$0")/../src}
layers=(platform engine framework level states app) # lowest first
status=0
for ((i = 0; i < ${#layers[@]} - 1; ++i)); do
    above=$(IFS='|'; echo "${layers[*]:i+1}")
    if grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]($above)/" "$src/${layers[i]}"; then
        echo "check-layers: src/${layers[i]} must not include $above (they stand above it)" >&2
        status=1
    fi
done
if grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](SDL|emscripten)' "$src" --exclude-dir=platform; then
    echo "check-layers: only src/platform includes SDL and emscripten" >&2
    status=1
fi
exit $status
