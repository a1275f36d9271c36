#!/usr/bin/env bash
# Builds the Debian package dist/skarnhold_VERSION_ARCH.deb with plain dpkg-deb, then checks it with lintian.
#   scripts/make-deb.sh                  builds the game in build-deb/ (Release, Debian's hardening flags)
#   scripts/make-deb.sh BUILD OUTDIR     packs the game already built in the build folder BUILD into OUTDIR
# The version is the one of packaging/debian/changelog, whose upstream part must be the project's version.
# Dependencies: what dpkg-shlibdeps finds for the program, plus the font packages the game asks fontconfig
# for. Any lintian error fails the script (SKARN_LINTIAN=0 skips lintian).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-}
out=${2:-$src/dist}

for tool in dpkg-deb dpkg-shlibdeps dpkg-parsechangelog cmake gzip; do
    command -v "$tool" >/dev/null || { echo "make-deb: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

version=$(dpkg-parsechangelog -l "$src/packaging/debian/changelog" -S Version)
upstream=$(sed -n 's/^project(Skarnhold VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
if [ "${version%-*}" != "$upstream" ]; then
    echo "make-deb: packaging/debian/changelog gives $version but the project is version $upstream" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)

if [ -z "$build" ]; then
    build=$src/build-deb
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSKARN_TESTS=OFF >/dev/null
    cmake --build "$build" -j2 --target skarnhold
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr --strip >/dev/null

# What Debian's policy asks beside the installed tree: the manual page compressed, the copyright file and
# the changelog in the package's documentation folder.
gzip -9n "$root/usr/share/man/man6/skarnhold.6"
doc=$root/usr/share/doc/skarnhold
mkdir -p "$doc"
cp "$src/packaging/debian/copyright" "$doc/copyright"
gzip -9n -c "$src/packaging/debian/changelog" >"$doc/changelog.Debian.gz"
mkdir -p "$root/usr/share/lintian/overrides"
cp "$src/packaging/debian/lintian-overrides" "$root/usr/share/lintian/overrides/skarnhold"
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root/usr/games/skarnhold"

# dpkg-shlibdeps reads a control file of a source package: a minimal one in a folder of its own.
mkdir -p "$work/src/debian"
printf 'Source: skarnhold\n\nPackage: skarnhold\nArchitecture: any\n' >"$work/src/debian/control"
shlibs=$(cd "$work/src" && dpkg-shlibdeps -O -e"$root/usr/games/skarnhold" 2>"$work/shlibdeps.log" |
    sed -n 's/^shlibs:Depends=//p') || { cat "$work/shlibdeps.log" >&2; exit 1; }
depends="$shlibs, fonts-cherrybomb, fonts-dejavu-core, fonts-freefont-ttf"

mkdir -p "$root/DEBIAN"
(cd "$root" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
cat >"$root/DEBIAN/control" <<EOF
Package: skarnhold
Version: $version
Architecture: $arch
Maintainer: Oxmire <games@oxmire.com>
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $depends
Section: games
Priority: optional
Homepage: https://oxmire.com/skarnhold/
Description: side-scrolling runner: lead a party of troglins through the caves
 Skarnhold is a single-player 2D side-scrolling runner. You lead a party of
 troglins that runs to the right by itself; your only control is the jump.
 Recruit the troglins waiting on the way to raise the party's power, beat
 monsters weaker than your party, grab diamonds for ten seconds of
 invulnerability, and get as far as you can: the best runs go into the Hall
 Of Fame.
 .
 The game also holds the two editors that make its maps and pictures.
EOF
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

mkdir -p "$out"
deb=$out/skarnhold_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "make-deb: $deb"
echo "make-deb: Depends: $depends"

if [ "${SKARN_LINTIAN:-1}" != 0 ]; then
    command -v lintian >/dev/null || { echo "make-deb: lintian is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
    # lintian refuses to run as root without this; it only reads the package.
    lintian --allow-root --fail-on error --display-info "$deb"
    echo "make-deb: lintian reports no error"
fi
