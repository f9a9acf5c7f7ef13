#!/bin/sh
# The leaderboard is followed while a window's screen waits for a key: a run
# left in the outbox by an earlier game is being verified, the Controls
# screen waits for the key to bind, and the server places the run then. The
# game, which takes no step until that key, must still learn it.
# usage: sending-window.sh BUILD_DIR      (exit 77: skipped; on CI a failure)
test_name=sending-window
source_dir=$(cd "$(dirname "$0")/.." && pwd)
. "$(dirname "$0")/window-lib.sh"
# The server's verifier waits for the test to open its gate.
cat >verifier.sh <<EOF
#!/bin/sh
while [ ! -e "$scratch/gate" ]; do sleep 0.1; done
exec "$build/morvek" "\$@"
EOF
chmod +x verifier.sh
start_server --workers 1 --verifier "$scratch/verifier.sh"
printf 'leaderboard = %s\nplayer-name = ASH\n' "$address" >s.ini

# An earlier game sends its run, which the server takes and holds.
HOME=$scratch timeout -s KILL 60 "$build/morvek" --headless --settings s.ini --scores live.txt \
    --script "$source_dir/recordings/no-cheats.txt" --record first.txt \
    --leaderboard "$address" >/dev/null 2>first.err || fail "the first game failed: $(cat first.err)"
ls outbox/*.txt >/dev/null 2>&1 || fail "the first game left no run in the outbox"
grep -q '^stage = pending$' outbox/*.run || fail "the server did not take the run: $(cat outbox/*.run)"

start_xvfb
start_game --settings s.ini --scores live.txt --record rec.txt
# A slow build's menu may not poll yet when the window shows: clicks again.
for i in $(seq 10); do
    click 175 275 # Options
    [ "$(title)" = Options ] && break
    sleep 1
done
[ "$(title)" = Options ] || fail "the options did not open: the caption reads $(title); $(cat err.txt)"
click 930 687 # Controls
click 500 360 # the fire row: the screen waits for a key
sleep 1
touch gate
placed=
for i in $(seq 300); do
    if ! ls outbox/*.txt >/dev/null 2>&1 && grep -q '^stage = accepted$' outbox/sent 2>/dev/null; then
        placed=yes
        break
    fi
    sleep 0.1
done
[ -n "$placed" ] || fail "the run was not followed while a key was awaited: $(cat outbox/*.run outbox/sent 2>&1)"
xdotool key z && sleep 0.5
click 110 687 # Return to the options
click 110 687 # Return to the menu
click 175 575 # End
wait $game || fail "the windowed game failed ($?): $(cat err.txt)"
grep -qx 'key-fire = Z' s.ini || fail "the key awaited was not bound: $(cat s.ini)"
echo "sending-window: placed while the Controls screen waited for a key: ok"
exit 0
