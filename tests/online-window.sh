#!/bin/sh
# The highscore screen's host screens in a real window under Xvfb, against a
# real leaderboard server: Online shows the server's board, Name asks the
# online name over the window and keeps it in the settings, Replays opens
# the kept replays and Escape comes back; none of the keys typed there is in
# the session's recording, which replays headless to the same end.
# usage: online-window.sh BUILD_DIR      (exit 77: skipped; on CI a failure)
test_name=online-window
. "$(dirname "$0")/window-lib.sh"
if [ ! -x "$build/morvek-server" ]; then
    echo "no morvek-server in $build"
    [ "${CI:-}" = true ] && exit 1
    exit 77
fi
server=
trap '[ -n "$server" ] && kill $server 2>/dev/null; [ -n "$xpid" ] && kill $xpid 2>/dev/null; rm -rf "$scratch"' EXIT
timeout -s KILL 120 "$build/morvek-server" --port 0 --database lb.db >server.log 2>&1 &
server=$!
for i in $(seq 100); do grep -q '^listening on' server.log && break; sleep 0.1; done
address=$(sed -n 's/^listening on \(http:[^ ]*\).*/\1/p' server.log)
[ -n "$address" ] || fail "the server did not start: $(cat server.log)"
printf 'leaderboard = %s\n' "$address" >s.ini
start_xvfb
HOME=$scratch timeout -s KILL 90 "$build/morvek" --settings s.ini --scores live.txt \
    --record rec.txt >/dev/null 2>err.txt &
game=$!
find_window
click() { xdotool mousemove --window "$w" "$1" "$2" && sleep 0.3 && xdotool click 1 && sleep 0.7; }
title() { xdotool getwindowname "$w"; }
# Waits up to 10 s for the window's caption to read $1 (a loaded machine is slow).
await_title() {
    for i in $(seq 100); do [ "$(title)" = "$1" ] && return 0; sleep 0.1; done
    fail "$2: the caption reads $(title)"
}
# The menu may not poll yet when the window first shows (a sanitizer's
# build is slow to start): a click it missed is given again.
for i in $(seq 10); do
    click 175 375 # Highscores
    [ "$(title)" = Highscore ] && break
    sleep 1
done
await_title Highscore "the highscores did not open"
click 435 687 # Online
sleep 1
click 915 687 # Name: the host asks over the window
sleep 1.5
xdotool type --delay 80 'ash' && sleep 0.5 && xdotool key Return
for i in $(seq 100); do grep -q '^player-name = ASH$' s.ini && break; sleep 0.1; done
grep -q '^player-name = ASH$' s.ini || fail "the online name was not kept: $(cat s.ini)"
click 265 687 # Replays
await_title Replays "Replays did not open"
xdotool key Escape
await_title Highscore "Escape did not come back to the highscores"
click 110 687 # Return
click 175 575 # End
wait $game || fail "the windowed game failed ($?): $(cat err.txt)"
grep -Eq ' key down 0x(41|53|48|1B)$' rec.txt &&
    fail "the recording holds keys the host's screens took: $(cat rec.txt)"
replays_headless rec.txt
exit 0
