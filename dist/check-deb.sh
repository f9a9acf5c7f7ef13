#!/bin/sh
# Checks the Debian package as a system would have it: unpacked with dpkg into
# a scratch root, its files where Debian keeps a game's, its desktop entry
# and metainfo valid, lintian without errors (its warnings shown), and the
# unpacked game, started from another folder, finds its pictures in the data
# folder and plays the demo to the native build's pictures and state.
# usage: check-deb.sh <deb> <native morvek> <demo script>
set -eu
started=$(date +%s)
deb=$(realpath "$1")
native=$(realpath "$2")
demo=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-deb: $*" >&2; exit 1; }

root=$work/root
dpkg -x "$deb" "$root"
game=$root/usr/games/morvek
data=$root/usr/share/games/morvek/Media
[ -x "$game" ] || fail "no /usr/games/morvek"
[ -d "$data" ] || fail "no /usr/share/games/morvek/Media"

# One version everywhere: the game's, the package's and its file's.
version=$("$game" --version | sed -n 's/^morvek \([0-9][0-9.]*\)$/\1/p')
[ -n "$version" ] || fail "--version printed '$("$game" --version)'"
[ "$("$game" --help | head -n 1)" = "morvek $version" ] || fail "--help does not start with the version"
[ "$(dpkg-deb -f "$deb" Package)" = morvek ] || fail "Package: $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version: $(dpkg-deb -f "$deb" Version), the game says $version"
case $(basename "$deb") in
morvek_"$version"_*.deb) ;;
*) fail "the file $(basename "$deb") does not carry version $version" ;;
esac
dpkg-deb -f "$deb" Depends | grep -q 'libsdl2-' || fail "Depends lacks SDL2: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q 'libcurl' || fail "Depends lacks libcurl: $(dpkg-deb -f "$deb" Depends)"

# The pictures are exactly the ones the native build drew.
(cd "$(dirname "$native")/Media" && ls -- *.bmp) >"$work/drawn"
(cd "$data" && ls) >"$work/shipped"
cmp -s "$work/drawn" "$work/shipped" || fail "the pictures shipped differ from those drawn: $(diff "$work/drawn" "$work/shipped" | head -5)"
while read -r f; do
    cmp -s "$(dirname "$native")/Media/$f" "$data/$f" || fail "Media/$f differs from the native build's"
done <"$work/drawn"

share=$root/usr/share
for f in applications/morvek.desktop icons/hicolor/64x64/apps/morvek.png man/man6/morvek.6.gz \
    doc/morvek/copyright doc/morvek/changelog.gz; do
    [ -f "$share/$f" ] || fail "no /usr/share/$f"
done
[ "$(head -c 8 "$share/icons/hicolor/64x64/apps/morvek.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "the icon is not a PNG"
desktop=$share/applications/morvek.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate objects"
[ "$(sed -n 's/^Exec=//p' "$desktop")" = /usr/games/morvek ] || fail "Exec=$(sed -n 's/^Exec=//p' "$desktop")"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = morvek ] || fail "Icon=$(sed -n 's/^Icon=//p' "$desktop")"
set -- "$share"/metainfo/*.metainfo.xml
[ $# -eq 1 ] && [ -f "$1" ] || fail "not one metainfo file: $*"
metainfo=$1
appstreamcli validate --no-net "$metainfo" >"$work/appstream" 2>&1 || { cat "$work/appstream"; fail "appstreamcli objects"; }
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo lacks release $version"
grep -q '<launchable type="desktop-id">morvek.desktop</launchable>' "$metainfo" || fail "the metainfo does not launch morvek.desktop"
# The manual page lists every option the game knows.
for option in $("$game" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p'); do
    zcat "$share/man/man6/morvek.6.gz" | grep -qF "$(echo "$option" | sed 's/-/\\-/g')" ||
        fail "the manual page lacks $option"
done

# Lintian's root notice is noise here; its errors fail the check.
rc=0
lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || rc=$?
[ "$rc" -eq 0 ] || { grep -v '^running with root privileges' "$work/lintian"; fail "lintian reports errors"; }
warnings=$(grep -c '^W:' "$work/lintian" || true)
[ "$warnings" -eq 0 ] || { echo "check-deb: lintian warnings:"; grep '^W:' "$work/lintian"; }

# The unpacked game, started from a folder of its own, plays the demo.
mkdir -p "$work/elsewhere/shots" "$work/native/shots"
ln -s "$(dirname "$native")/Media" "$work/native/Media"
(cd "$work/elsewhere" && "$game" --headless --script "$demo" --scores "$work/scores.txt" >/dev/null 2>"$work/game.err") ||
    { cat "$work/game.err"; fail "the unpacked game failed"; }
! grep -q "cannot load" "$work/game.err" || { cat "$work/game.err"; fail "the unpacked game missed pictures"; }
(cd "$work/native" && "$native" --headless --script "$demo" --scores "$work/native.txt" >/dev/null)
count=0
for shot in "$work/native/shots/"*; do
    name=$(basename "$shot")
    cmp -s "$shot" "$work/elsewhere/shots/$name" || fail "$name differs from the native build's"
    count=$((count + 1))
done
[ "$count" -gt 0 ] || fail "the native run took no pictures"

# Those pictures came from the data folder: without it the game refuses to
# start and says where it looked, even beside a Media folder of the player's.
mv "$data" "$data.away"
mkdir -p "$work/player/Media" && echo photo >"$work/player/Media/holiday.bmp"
rc=0
(cd "$work/player" && "$game" --headless --script "$demo" 2>"$work/away.err") || rc=$?
[ "$rc" -eq 2 ] || fail "without its data folder the game exited $rc, not 2"
grep -q "usr/share/games/morvek/Media" "$work/away.err" || fail "the game did not name the data folder: $(cat "$work/away.err")"

echo "check-deb: $(basename "$deb"): $(wc -l <"$work/drawn") pictures, desktop entry, metainfo and manual page valid;" \
    "lintian: no errors, $warnings warnings; the unpacked game played the demo to the native build's $count pictures and state" \
    "($(($(date +%s) - started)) s)"
