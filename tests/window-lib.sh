# Sourced by the tests that drive a real window under Xvfb with xdotool.
# Sets `build` and `scratch` (a folder with the pictures, the working
# directory) and `fail`, named after the test; the caller names itself in
# `test_name` and passes the build folder as its first argument.
set -u
build=$(cd "$1" && pwd)
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "no Xvfb or xdotool"
    # On CI a skip would hide a missing install step.
    [ "${CI:-}" = true ] && exit 1
    exit 77
fi
scratch=$(mktemp -d)
xpid=
server=
trap '[ -n "$server" ] && kill $server 2>/dev/null; [ -n "$xpid" ] && kill $xpid 2>/dev/null; rm -rf "$scratch"' EXIT
fail() { echo "$test_name: $*" >&2; exit 1; }
cd "$scratch" && ln -s "$build/Media" Media

# Starts an X server and points DISPLAY at it. Xvfb picks a free display
# and names it, so parallel runs never meet.
start_xvfb() {
    rm -f x.num
    (Xvfb -displayfd 3 -screen 0 1100x800x24 3>x.num >/dev/null 2>&1 & echo $! >x.pid)
    for i in $(seq 50); do test -s x.num && break; sleep 0.1; done
    xpid=$(cat x.pid)
    export DISPLAY=":$(cat x.num)" SDL_AUDIODRIVER=dummy
}

# Sets `w` to the game's window once it is up, or fails. SDL may make its
# window anew when it picks a renderer, so the one taken is the one still
# there a moment later.
find_window() {
    w=
    for i in $(seq 300); do
        found=$(xdotool search --onlyvisible --name '^Morvek$' 2>/dev/null | tail -n 1)
        [ -n "$found" ] && [ "$found" = "$w" ] && return 0
        w=$found
        sleep 0.2
    done
    fail "no window"
}

# The session's recording `$1` must replay headless to its end: whatever the
# window's own screens took never reached it.
replays_headless() {
    mkdir replay && ln -s "$build/Media" replay/Media
    (cd replay && HOME=$scratch timeout -s KILL 60 "$build/morvek" --headless --script "../$1" \
        --scores table.txt >/dev/null 2>err.txt) || fail "the replay failed: $(cat replay/err.txt)"
}

# Starts the leaderboard server on a free port, with the extra arguments
# given; sets `server` (its process) and `address`. Without a server built,
# skips (on CI fails).
start_server() {
    if [ ! -x "$build/morvek-server" ]; then
        echo "no morvek-server in $build"
        [ "${CI:-}" = true ] && exit 1
        exit 77
    fi
    timeout -s KILL 120 "$build/morvek-server" --port 0 --database lb.db "$@" >server.log 2>&1 &
    server=$!
    for i in $(seq 100); do grep -qs '^listening on' server.log && break; sleep 0.1; done
    address=$(sed -n 's/^listening on \(http:[^ ]*\).*/\1/p' server.log 2>/dev/null)
    [ -n "$address" ] || fail "the server did not start: $(cat server.log)"
}

# Starts the game in the window with the arguments given, its errors in
# err.txt; sets `game` and, once the window is up, `w`.
start_game() {
    HOME=$scratch timeout -s KILL 90 "$build/morvek" "$@" >/dev/null 2>err.txt &
    game=$!
    find_window
}
click() { xdotool mousemove --window "$w" "$1" "$2" && sleep 0.3 && xdotool click 1 && sleep 0.7; }
title() { xdotool getwindowname "$w"; }
