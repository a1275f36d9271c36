#!/usr/bin/env bash
# Installs every Debian package that the build, the game, the tools and the tests need; with --web, instead,
# those of the web build (make web, make web-test), kept apart so that ./run.sh and ./test.sh stay light.
# Idempotent: packages already present are not touched, and nothing is asked when all are there.
#   scripts/install-deps.sh [--web]
set -euo pipefail

DESKTOP_PACKAGES=(
    # toolchain
    build-essential g++ clang clang-format cmake make pkg-config ccache
    # libraries of the game
    libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libfontconfig-dev zlib1g-dev
    # fonts the game asks fontconfig for (sans, serif, mono and a chunky display face)
    fontconfig fonts-dejavu-core fonts-dejavu-extra fonts-freefont-ttf fonts-cherrybomb
    # tests, sanitizers and fuzzers
    libgtest-dev googletest libclang-rt-14-dev
    # the pointer test under a real X server
    xvfb xdotool
    # asset generation and checks (MP3 encoding, sound measurements, screenshot conversion)
    lame sox libsox-fmt-mp3 imagemagick
    # installing and packaging: the Debian package, its checks, and the player run as another user
    dpkg-dev lintian desktop-file-utils appstream util-linux
)
WEB_PACKAGES=(
    # emscripten, and the tools that fetch and unpack Debian's source packages of the libraries
    emscripten dpkg-dev cmake make python3
    # the fonts the page carries (the ones fontconfig picks on the desktop)
    fonts-dejavu-core fonts-freefont-ttf fonts-cherrybomb
    # the headless browser of make web-test
    chromium
)

case "${1:-}" in
    "") PACKAGES=("${DESKTOP_PACKAGES[@]}") ;;
    --web) PACKAGES=("${WEB_PACKAGES[@]}") ;;
    *)
        echo "usage: scripts/install-deps.sh [--web]" >&2
        exit 2
        ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        SUDO="sudo"
    else
        echo "install-deps: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
        exit 1
    fi
fi

echo "install-deps: installing ${missing[*]}" >&2
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
