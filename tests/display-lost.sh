#!/bin/sh
# The display goes while a game plays in a real window: the X server is
# killed, or another client destroys the window. The game must end as the
# close box ends it, with the status the README gives (3), its recording
# complete up to a final close and its table untouched, never with a crash.
# usage: display-lost.sh BUILD_DIR      (exit 77: skipped; on CI a failure)
test_name=display-lost
. "$(dirname "$0")/window-lib.sh"
printf 'ZED      1200 1\n' >table.txt
cp table.txt table.before

# how: kill (the X server dies) or destroy (the window is destroyed by another client)
for how in kill destroy; do
    start_xvfb
    HOME=$scratch timeout -s KILL 60 "$build/morvek" --scores table.txt --record "$how.txt" \
        >/dev/null 2>"$how.err" &
    game=$!
    w=
    for i in $(seq 300); do
        w=$(xdotool search --onlyvisible --name '^Morvek$' 2>/dev/null | head -n 1)
        [ -n "$w" ] && break
        sleep 0.1
    done
    [ -n "$w" ] || fail "no window"
    # Into a new game, so the end comes while the game plays.
    sleep 1
    xdotool mousemove --window "$w" 175 175 && sleep 0.3 && xdotool click 1 && sleep 1.5
    if [ "$how" = kill ]; then
        kill "$xpid"
    else
        xdotool windowclose "$w" || fail "xdotool could not destroy the window"
    fi
    wait $game
    status=$?
    kill "$xpid" 2>/dev/null
    xpid=
    [ "$status" -eq 3 ] || fail "$how: exit status $status, not 3: $(cat "$how.err")"
    tail -n 1 "$how.txt" | grep -q ' close$' || fail "$how: the recording does not end in a close"
    grep -q 'mouse down left' "$how.txt" || fail "$how: the recording lacks the click"
    cmp -s table.txt table.before || fail "$how: the table changed"
    grep -qi 'display' "$how.err" || fail "$how: nothing said about the display: $(cat "$how.err")"
done
echo "display-lost: the X server killed and the window destroyed, both ended as the close box does"
