#!/usr/bin/env bash
# Builds the libraries of the web build from Debian's own source packages, for WebAssembly, with Debian's
# emscripten: zlib, FreeType, SDL2, SDL2_ttf and SDL2_mixer (WAV and MP3 through its built-in decoders).
#   scripts/web-deps.sh [BUILD_DIR]      (default build-web)
# The sources are fetched with `apt-get source` into BUILD_DIR/deps/src and installed as static libraries
# into BUILD_DIR/deps/prefix. Each library is built once: a stamp in the prefix names the source version and
# the build flags, so a second run does nothing unless one of them changed.
# When apt knows no source entries, the script adds /etc/apt/sources.list.d/skarnhold-src.sources (the
# deb-src entries of this release and its updates, main, on deb.debian.org), runs apt-get update, and says
# so; it changes nothing else on the system.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(realpath -m "${1:-$ROOT/build-web}")
DEPS=$BUILD/deps
SRC=$DEPS/src
PREFIX=$DEPS/prefix
JOBS=${WEB_JOBS:-2}
mkdir -p "$SRC" "$PREFIX"
# emcc's JavaScript passes need Debian's node-acorn, which a node not built by Debian does not look for.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# ---- Source entries ------------------------------------------------------------------------------------
SRC_LIST=/etc/apt/sources.list.d/skarnhold-src.sources
CODENAME=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
if ! apt-cache showsrc zlib 2>/dev/null | grep "^Version:" >/dev/null; then
    if [ ! -e "$SRC_LIST" ]; then
        echo "web-deps: apt knows no source packages; adding $SRC_LIST (deb-src of $CODENAME and" \
            "$CODENAME-updates main on deb.debian.org)" >&2
        $SUDO tee "$SRC_LIST" >/dev/null <<EOF
# Added by Skarnhold's scripts/web-deps.sh: Debian's source packages, for the web build's libraries.
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $CODENAME $CODENAME-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    fi
    echo "web-deps: running apt-get update for the source packages' lists" >&2
    $SUDO apt-get update -q >&2
fi

# The newest version of a source package that apt offers.
SourceVersion()
{
    apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -n 1
}

# Fetches and unpacks a source package once; prints its folder.
Fetch()
{
    local pkg=$1 version upstream dir
    version=$(SourceVersion "$pkg")
    [ -n "$version" ] || { echo "web-deps: apt offers no source package '$pkg'" >&2; exit 1; }
    upstream=${version#*:}
    upstream=${upstream%-*}
    dir=$SRC/$pkg-$upstream
    if [ ! -d "$dir" ]; then
        echo "web-deps: apt-get source $pkg=$version" >&2
        (cd "$SRC" && apt-get source -q "$pkg=$version" >&2)
        [ -d "$dir" ] || { echo "web-deps: $pkg's sources did not unpack into $dir" >&2; exit 1; }
    fi
    echo "$dir"
}

COMMON_FLAGS=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_INSTALL_PREFIX=$PREFIX" "-DCMAKE_PREFIX_PATH=$PREFIX"
              "-DCMAKE_FIND_ROOT_PATH=$PREFIX" -DBUILD_SHARED_LIBS=OFF -DCMAKE_C_FLAGS=-O2)

# Configures, builds and installs one source package (a CMake project, or zlib's own configure script),
# unless its stamp says it is there already.
Build()
{
    local pkg=$1
    shift
    local dir stamp key
    dir=$(Fetch "$pkg")
    key="$(basename "$dir") $* ${COMMON_FLAGS[*]} $(emcc --version | sed -n 1p)"
    stamp=$PREFIX/.built-$pkg
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$key" ]; then
        return
    fi
    echo "web-deps: building $(basename "$dir") for the web" >&2
    rm -rf "$DEPS/build-$pkg"
    if [ "$pkg" = zlib ]; then # its CMake file wants the Windows resources that Debian's sources drop
        cp -a "$dir" "$DEPS/build-$pkg"
        (cd "$DEPS/build-$pkg" && CFLAGS=-O2 emconfigure ./configure --static "--prefix=$PREFIX" &&
            emmake make -j "$JOBS" libz.a && make install) >"$DEPS/build-$pkg.log" 2>&1 ||
            { tail -n 30 "$DEPS/build-$pkg.log" >&2; exit 1; }
        echo "$key" >"$stamp"
        return
    fi
    emcmake cmake -S "$dir" -B "$DEPS/build-$pkg" "${COMMON_FLAGS[@]}" "$@" >"$DEPS/build-$pkg.log" 2>&1 ||
        { tail -n 30 "$DEPS/build-$pkg.log" >&2; exit 1; }
    { cmake --build "$DEPS/build-$pkg" -j "$JOBS" && cmake --install "$DEPS/build-$pkg"; } \
        >>"$DEPS/build-$pkg.log" 2>&1 || { tail -n 30 "$DEPS/build-$pkg.log" >&2; exit 1; }
    echo "$key" >"$stamp"
}

start=$(date +%s)
Build zlib
Build freetype -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_BROTLI=ON \
    -DFT_REQUIRE_ZLIB=ON
Build libsdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF
Build libsdl2-ttf -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF
Build libsdl2-mixer -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_WAVE=ON -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_MP3_MPG123=OFF \
    -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_VORBIS=OFF \
    -DSDL2MIXER_CMD=OFF
echo "web-deps: libraries ready in $PREFIX ($(($(date +%s) - start)) s)" >&2
