#!/bin/sh
# The attract demo in a real window under Xvfb: the menu left alone shows the
# autopilot's game (the wait is shortened for the test), the arrow that ends
# it reaches no menu and no recording, and the recording of the session
# replays headless to the same end.
# usage: demo-window.sh BUILD_DIR      (exit 77: skipped; on CI a failure)
test_name=demo-window
. "$(dirname "$0")/window-lib.sh"
start_xvfb
HOME=$scratch MORVEK_DEMO_IDLE_MS=1500 timeout -s KILL 60 "$build/morvek" --settings s.ini \
    --scores live.txt --record rec.txt >/dev/null 2>err.txt &
game=$!
find_window
sleep 5 # the demo is on
# Down would light Story on the menu, and Return then open it: the demo must
# use up the Down, and Return find nothing lit.
xdotool key Down && sleep 1
xdotool key Return && sleep 1
[ "$(xdotool getwindowname "$w")" = Morvek ] ||
    fail "the key that ended the demo reached the menu: $(xdotool getwindowname "$w")"
xdotool mousemove --window "$w" 175 575 && sleep 0.3 && xdotool click 1 # End
wait $game || fail "the windowed game failed ($?): $(cat err.txt)"
grep -q ' key down 0x28$' rec.txt && fail "the recording holds the demo's key: $(cat rec.txt)"
grep -q ' key down 0x0D$' rec.txt || fail "the recording lacks the Return after the demo"
grep -qv '^0 \|mouse\|0x0D$\|^#' rec.txt &&
    fail "the recording holds more than the menu's input: $(cat rec.txt)"
replays_headless rec.txt
exit 0
