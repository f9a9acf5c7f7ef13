#!/bin/sh
# Installs the built game into a scratch prefix and plays it from elsewhere:
# the pictures must be found, the highscores kept where --scores says, and
# the desktop entry must point at what was installed.
# usage: check-install.sh BUILD_DIR VERSION
set -eu
build=$(cd "$1" && pwd)
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

[ -x "$prefix/bin/morvek" ] || fail "no bin/morvek"
[ "$("$prefix/bin/morvek" --version)" = "morvek $version" ] ||
    fail "--version printed '$("$prefix/bin/morvek" --version)', not 'morvek $version'"
pictures=$(ls "$prefix/share/morvek/Media/"*.bmp | wc -l)
[ "$pictures" -ge 100 ] || fail "only $pictures pictures installed"
icon=$prefix/share/icons/hicolor/64x64/apps/morvek.png
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "icon is not a PNG"

desktop=$prefix/share/applications/morvek.desktop
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(head -n 1 "$desktop")" = "[Desktop Entry]" ] || fail "desktop entry lacks its group"
[ "$(key Type)" = Application ] || fail "Type=$(key Type)"
[ "$(key Name)" = Morvek ] || fail "Name=$(key Name)"
[ "$(key Exec)" = "$prefix/bin/morvek" ] || fail "Exec=$(key Exec)"
[ "$(key Icon)" = "$icon" ] || fail "Icon=$(key Icon)"
[ "$(key Terminal)" = false ] || fail "Terminal=$(key Terminal)"
key Categories | grep -q '^Game;' || fail "Categories=$(key Categories)"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate objects"
fi

# A game given up at once and its name saved, played from a directory
# with no pictures in it.
cat >"$scratch/play.txt" <<'PLAY'
500  shot menu.bmp
600  mouse move 175 175
800  mouse down left
860  mouse up left
900  mouse move 600 400
2000 key down 0x1B
2100 key up 0x1B
2500 mouse move 900 700
2600 mouse down left
2660 mouse up left
2700 mouse move 600 400
3000 key down 0x4D
3010 key up 0x4D
3100 key down 0x4F
3110 key up 0x4F
3200 key down 0x52
3210 key up 0x52
3300 key down 0x56
3310 key up 0x56
3400 key down 0x45
3410 key up 0x45
3500 key down 0x4B
3510 key up 0x4B
3600 key down 0x53
3610 key up 0x53
4000 mouse move 100 700
4100 mouse down left
4160 mouse up left
4500 state state.json
4600 close
PLAY
mkdir "$scratch/elsewhere" "$scratch/lone"
(cd "$scratch/elsewhere" &&
    "$prefix/bin/morvek" --headless --script ../play.txt --scores ../scores.txt) ||
    fail "the installed game failed"
[ -s "$scratch/elsewhere/state.json" ] || fail "no state written"
[ ! -e "$scratch/elsewhere/myscore.txt" ] || fail "--scores ignored: myscore.txt written"
[ -s "$scratch/scores.txt" ] || fail "the table was not saved to --scores FILE"

# A copy with no pictures beside it refuses to start and says where it
# looked, even from beside a Media folder that isn't the game's.
cp "$prefix/bin/morvek" "$scratch/lone/morvek"
mkdir "$scratch/lone/Media" && echo photo >"$scratch/lone/Media/holiday.bmp"
printf '500 shot menu.bmp\n600 close\n' >"$scratch/lone.txt"
rc=0
(cd "$scratch/lone" && ./morvek --headless --script ../lone.txt 2>"$scratch/lone.err") || rc=$?
[ "$rc" -eq 2 ] || fail "the lone copy started without pictures (exit $rc)"
grep -q "no Media folder" "$scratch/lone.err" || fail "the lone copy did not say where it looked"
echo "check-install: installed into $prefix and played from elsewhere: ok"
