#!/usr/bin/env bash
# Installs the Debian packages the web build needs (make web, make web-test): emscripten, the tools that
# fetch and unpack Debian's source packages, the fonts the page bundles, and the headless browser.
# Kept apart from scripts/install-deps.sh so that ./run.sh and ./test.sh stay light. Idempotent.
set -euo pipefail

PACKAGES=(
    emscripten dpkg-dev cmake make python3
    fonts-dejavu-core fonts-freefont-ttf fonts-cherrybomb
    chromium
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO="sudo"
    else
        echo "install-web-deps: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
        exit 1
    fi
fi
echo "install-web-deps: installing ${missing[*]}" >&2
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
