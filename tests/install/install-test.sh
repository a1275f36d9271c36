#!/usr/bin/env bash
# The game as players install it.
#   install-test.sh tree BUILD SOURCE   cmake --install into a temporary DESTDIR, the tree made read-only, the
#                                       installed game run from another working directory as a player: it
#                                       finds its data beside itself (only data/'s files in git are
#                                       installed), the tile editor opens the installed map
#                                       and saves it and a bot run saves a score in the player's folders, and
#                                       nothing under the tree changes.
#   install-test.sh deb BUILD SOURCE    scripts/make-deb.sh packs the build (lintian must report no error),
#                                       dpkg-deb -x unpacks it, its desktop entry, AppStream data, icons and
#                                       manual page are checked, and the unpacked game starts.
# Exit 77 (a skip for ctest) names a missing tool; scripts/install-deps.sh installs them all.
set -euo pipefail
mode=$1
build=$(cd "$2" && pwd)
src=$(cd "$3" && pwd)

fail() {
    echo "FAILED: $*" >&2
    exit 1
}
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is missing (scripts/install-deps.sh installs it)"; exit 77; }
    done
}

# In /tmp itself: the player (another user, below) must reach every folder on the way.
work=$(mktemp -d /tmp/skarn-install-XXXXXX)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 0755 "$work"
mkdir -p "$work/home" "$work/cwd"

# As root the game runs as an unprivileged player (root would write through a read-only tree).
player=()
if [ "$(id -u)" -eq 0 ]; then
    need setpriv
    chown 65534:65534 "$work/home" "$work/cwd"
    player=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi

# Runs the game headless in the empty folder cwd/, with nothing of the caller's environment but the
# sanitizers' options: HOME is the temporary one and the XDG folders are its defaults.
play() {
    local exe=$1
    shift
    (cd "$work/cwd" && env -i HOME="$work/home" PATH=/usr/bin:/bin ASAN_OPTIONS="${ASAN_OPTIONS:-}" \
        UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" "${player[@]}" "$exe" --headless --windowed --fixed-dt 0.02 "$@")
}

# The menu comes up (the data folder was found beside the program) and the window icon was taken.
check_start() {
    local log=$1
    grep -q "state 0 -> 1" "$log" || fail "the menu did not come up: $(cat "$log")"
    ! grep -q "no data folder\|window icon" "$log" || fail "$(cat "$log")"
}

if [ "$mode" = tree ]; then
    need cmake sha256sum
    root=$work/root
    DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
    exe=$root/usr/games/skarnhold
    data=$root/usr/share/games/skarnhold
    [ -x "$exe" ] && [ -f "$data/Meshes/fullheromesh.txt" ] && [ -f "$data/Icons/skarnhold.bmp" ] ||
        fail "cmake --install did not lay out usr/games and usr/share/games/skarnhold"
    for f in share/applications/com.oxmire.skarnhold.desktop share/metainfo/com.oxmire.skarnhold.metainfo.xml \
        share/man/man6/skarnhold.6 share/icons/hicolor/16x16/apps/com.oxmire.skarnhold.png \
        share/icons/hicolor/256x256/apps/com.oxmire.skarnhold.png; do
        [ -f "$root/usr/$f" ] || fail "usr/$f is not installed"
    done
    grep -qx "Exec=/usr/games/skarnhold" "$root/usr/share/applications/com.oxmire.skarnhold.desktop" ||
        fail "the desktop entry does not start /usr/games/skarnhold"
    # The data installed are data/'s own files, those in git, and nothing else that lies there.
    if git -C "$src" rev-parse --git-dir >/dev/null 2>&1; then
        diff <(git -C "$src/data" ls-files | LC_ALL=C sort) <(cd "$data" && find . ! -type d | cut -c3- | LC_ALL=C sort) >&2 ||
            fail "the installed data files (>) are not data/'s files in git (<)"
    fi

    # A data folder for the bot's run: the installed data but a map whose ground ends soon and a default
    # Hall Of Fame that any run beats, so that the first run ends in a few seconds with a saved score.
    pit=$work/pit
    mkdir -p "$pit/Tilemaps"
    for entry in Meshes Sounds Icons; do ln -s "$data/$entry" "$pit/$entry"; done
    cp "$src/tests/data/level/pit/Tilemaps/map0.txt" "$pit/Tilemaps/"
    printf 'ANNA\n5\nBERT\n4\nCARL\n3\nDORA\n2\nEMIL\n1\n' >"$pit/highscore.txt"

    # A map for the tile editor in the installed data, in the editor's own format: the editor opens it (the
    # player has none yet), so the map it saves shows which data folder the game found.
    for row in $(seq 20); do
        for column in $(seq 140); do
            if [ "$row$column" = 11 ]; then printf '26 '; else printf ' 0 '; fi
        done
        printf '\n'
    done >"$data/Tilemaps/map_out.txt"

    sums() { (cd "$root" && find . -printf '%p %y %s\n' | LC_ALL=C sort && find . -type f -print0 |
        LC_ALL=C sort -z | xargs -0 sha256sum); }
    sums >"$work/before"
    chmod -R a-w "$root" "$pit"

    # The tile editor (F2 from the menu) saves its map (A) and ESC ends the game.
    printf '180 down 0x71\n181 up 0x71\n185 down 0x41\n186 up 0x41\n190 down 0x1B\n191 up 0x1B\n' >"$work/editor.script"
    chmod 0644 "$work/editor.script"
    play "$exe" --script "$work/editor.script" --frames 300 >"$work/editor.log" 2>&1 ||
        fail "the installed game ended with $?: $(cat "$work/editor.log")"
    check_start "$work/editor.log"
    saved=$work/home/.local/share/Oxmire/Skarnhold
    cmp -s "$data/Tilemaps/map_out.txt" "$saved/Tilemaps/map_out.txt" ||
        fail "the tile editor did not save the installed data's map in the player's folder: $(cat "$work/editor.log")"

    play "$exe" --data-dir "$pit" --bot --frames 600 >"$work/bot.log" 2>&1 ||
        fail "the bot's run ended with $?: $(cat "$work/bot.log")"
    grep -q "^BOT$" "$saved/highscore.txt" 2>/dev/null ||
        fail "no score of the bot in $saved/highscore.txt: $(cat "$work/bot.log")"

    chmod -R u+w "$root"
    sums >"$work/after"
    diff "$work/before" "$work/after" >&2 || fail "the installed tree changed"
    [ -z "$(ls -A "$work/cwd")" ] || fail "the game wrote into its working directory: $(ls -A "$work/cwd")"
    echo "install_tree: installed, read-only, menu, editor and a saved score in the player's folder"
    exit 0
fi

[ "$mode" = deb ] || fail "usage: install-test.sh tree|deb BUILD SOURCE"
need dpkg-deb dpkg-shlibdeps dpkg-parsechangelog lintian desktop-file-validate appstreamcli
# lintian judges what Debian ships; a sanitizer build packs its runtime libraries and is only unpacked.
if grep -q "^SKARN_SANITIZE:BOOL=ON" "$build/CMakeCache.txt"; then export SKARN_LINTIAN=0; fi
"$src/scripts/make-deb.sh" "$build" "$work/dist" >"$work/deb.log" 2>&1 || fail "make-deb: $(cat "$work/deb.log")"
deb=$(ls "$work/dist"/skarnhold_*.deb)
dpkg-deb -x "$deb" "$work/x"
x=$work/x/usr
desktop-file-validate "$x/share/applications/com.oxmire.skarnhold.desktop" || fail "desktop-file-validate"
command=$(sed -n 's/^Exec=//p' "$x/share/applications/com.oxmire.skarnhold.desktop")
[ -x "$work/x$command" ] || fail "the desktop entry starts $command, which the package does not hold"
appstreamcli validate --no-net "$x/share/metainfo/com.oxmire.skarnhold.metainfo.xml" >"$work/as.log" 2>&1 ||
    fail "appstreamcli: $(cat "$work/as.log")"
for size in 16 32 48 64 128 256; do
    [ -f "$x/share/icons/hicolor/${size}x${size}/apps/com.oxmire.skarnhold.png" ] || fail "no ${size} px icon"
done
for f in copyright changelog.Debian.gz; do [ -f "$x/share/doc/skarnhold/$f" ] || fail "no $f"; done
# Every screenshot of the AppStream data is one of docs/screens/.
for shot in $(grep -o 'docs/screens/[^<]*' "$x/share/metainfo/com.oxmire.skarnhold.metainfo.xml"); do
    [ -f "$src/$shot" ] || fail "the AppStream screenshot $shot is not in the source tree"
done

exe=$x/games/skarnhold
"$exe" --help >"$work/help.txt"
man=$(zcat "$x/share/man/man6/skarnhold.6.gz" | sed 's/\\-/-/g')
for option in $(grep -o -- '--[a-z][a-z-]*' "$work/help.txt" | sort -u); do
    grep -q -- "^\.[BI][IR]* *$option\b" <<<"$man" || fail "the manual page lacks $option"
done
version=$("$exe" --version)
grep -q "release version=\"${version#Skarnhold }\"" "$x/share/metainfo/com.oxmire.skarnhold.metainfo.xml" ||
    fail "the AppStream data has no release of $version"

play "$exe" --frames 250 >"$work/start.log" 2>&1 || fail "the unpacked game ended with $?: $(cat "$work/start.log")"
check_start "$work/start.log"
grep "^Depends:\|lintian" "$work/deb.log" || true
echo "install_deb: $(basename "$deb") built, unpacked and started"
