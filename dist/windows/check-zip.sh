#!/bin/sh
# Checks the Windows zip as a player would use it: unpacked into an empty
# folder whose name has a space and accents, started from another working
# directory, it finds its pictures, plays the demo script and keeps its
# highscores there; its pictures and final state equal the native build's,
# headless and in a window (Wine on a virtual X display of Xvfb). The
# zip's name carries the native build's version, and it holds the licence.
# Usage: check-zip.sh <morvek-VERSION-windows.zip> <wine> <native morvek> <demo script>
set -eu
zip=$(realpath "$1")
wine=$2
native=$(realpath "$3")
demo=$(realpath "$4")
work=$(mktemp -d)
xvfb=""
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
# Every run of the game has a hard limit: a hung Wine fails the check
# instead of holding CI. KILL, as a caller may have left TERM ignored.
limit() { timeout -s KILL "$@"; }
home="$work/José Müller"
mkdir -p "$home" "$work/elsewhere/shots" "$work/window/shots" "$work/native/shots"
version=$("$native" --version | sed -n 's/^morvek //p')
[ "$(basename "$zip")" = "morvek-$version-windows.zip" ] ||
  { echo "the zip's name $(basename "$zip") lacks the version $version"; exit 1; }
(cd "$home" && cmake -E tar xf "$zip")
for f in morvek/morvek.exe morvek/README.txt morvek/LICENSE.txt morvek/Media/Zon.bmp; do
  [ -f "$home/$f" ] || { echo "the zip lacks $f"; exit 1; }
done
ln -s "$(dirname "$native")/Media" "$work/native/Media"

(cd "$work/elsewhere" && limit 300 "$wine" "$home/morvek/morvek.exe" --headless \
  --script "$demo" --scores "$home/myscore.txt") || { echo "the headless run under Wine failed"; exit 1; }

# Xvfb names the display it took, so parallel runs never meet. Not xvfb-run:
# it waits for a SIGUSR1 that never comes when its caller ignores that signal.
Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
# A Wine server started without a display (by the headless run) can open no
# window for anyone, so the windowed run gets a server of its own.
wineserver="$(dirname "$wine")/wineserver"
"$wineserver" -k 2>/dev/null || true
limit 60 "$wineserver" -w
# What Wine and the game say about the missing sound device goes to a log.
(cd "$work/window" && DISPLAY=:$(cat "$work/display") limit 300 "$wine" "$home/morvek/morvek.exe" \
  --script "$demo" --scores "$home/myscore.txt" 2>"$work/window.log") ||
  { cat "$work/window.log"; echo "the windowed run under Wine failed"; exit 1; }
(cd "$work/native" && limit 120 "$native" --headless --script "$demo" --scores "$work/native/myscore.txt")
count=0
for shot in "$work/native/shots/"*; do
  name=$(basename "$shot")
  for run in elsewhere window; do
    cmp -s "$shot" "$work/$run/shots/$name" || { echo "$name of the $run run differs from the native build's"; exit 1; }
  done
  count=$((count + 1))
done
[ "$count" -gt 0 ] || { echo "the native run took no pictures"; exit 1; }
echo "zip: unpacked, played the demo from another folder, headless and in a window; $count pictures and states equal the native build's"
