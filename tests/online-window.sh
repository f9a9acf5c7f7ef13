#!/bin/sh
# The highscore screen's host screens in a real window under Xvfb, against a
# real leaderboard server: Online shows the server's board, Name asks the
# online name over the window and keeps it in the settings, Replays opens
# the kept replays and Escape comes back; none of the keys typed there is in
# the session's recording, which replays headless to the same end.
# usage: online-window.sh BUILD_DIR      (exit 77: skipped; on CI a failure)
test_name=online-window
. "$(dirname "$0")/window-lib.sh"
start_server
printf 'leaderboard = %s\n' "$address" >s.ini
start_xvfb
start_game --settings s.ini --scores live.txt --record rec.txt
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
