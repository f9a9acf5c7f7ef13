#!/bin/sh
# The kept two games watched from the second in a real window under Xvfb: the
# first goes by in fast forward, the second at its own pace, and the states
# taken on the way are those of the headless replay.
# usage: watch-window.sh BUILD_DIR      (exit 77: skipped; on CI a failure)
test_name=watch-window
recording=$(cd "$(dirname "$0")/.." && pwd)/recordings/two-games.txt
. "$(dirname "$0")/window-lib.sh"
start_xvfb
# States in the first game (fast forward) and the second (its own pace); the
# second begins at 26200 and plays 160 ticks of 30 ms.
awk '/^[0-9]/ && !a && $1 > 10000 { print "10000 state first.json"; a = 1 }
     /^[0-9]/ && !b && $1 > 29000 { print "29000 state second.json"; b = 1 }
     { print }' "$recording" >rec.txt
mkdir plain watched && ln -s "$build/Media" plain/Media && ln -s "$build/Media" watched/Media
(cd plain && timeout -s KILL 60 "$build/morvek" --headless --script ../rec.txt >/dev/null) ||
    fail "the headless replay failed"
# Each line of the watch stamped with the real time it came, in ms.
(cd watched && HOME=$scratch timeout -s KILL 120 "$build/morvek" --watch-from 2 \
    --script ../rec.txt 2>../err.txt; echo "exit $?") | while IFS= read -r line; do
    echo "$(($(date +%s%N) / 1000000)) $line"
done >timed.txt
started=$(head -n 1 timed.txt | cut -d' ' -f1)
begun=$(sed -n 's/^\([0-9]*\) watching game 2 from its New Game$/\1/p' timed.txt)
ended=$(sed -n 's/^\([0-9]*\) watched game 2: .*/\1/p' timed.txt)
grep -q ' exit 0$' timed.txt || fail "the watch failed: $(cat timed.txt err.txt)"
[ -n "$begun" ] && [ -n "$ended" ] || fail "the watch did not tell its game: $(cat timed.txt)"
for s in first second; do
    cmp -s "plain/$s.json" "watched/$s.json" || fail "the watch reached another state at $s.json"
done
# 26 s of the first game and the menus go by in fast forward; the 4.8 s of the
# second take their time.
[ $((begun - started)) -lt 20000 ] || fail "no fast forward: game 2 began after $((begun - started)) ms"
[ $((ended - begun)) -ge 4500 ] || fail "game 2 went by in $((ended - begun)) ms, not at its pace"
echo "watch-window: game 2 began after $((begun - started)) ms, played in $((ended - begun)) ms: ok"
