#!/bin/sh
# Fails when a source includes a header of a layer above its own, so the
# arrows keep running one way:
#   util, platform, display  <-  core  <-  combat  <-  levels  <-  screens,
#   settings  <-  the game, its autopilot, the audio  <-  the hosts' loop and
#   the web host.
# The audio lies beside the game but only reads the world: it may reach no
# higher than core.
# usage: check-layers.sh [SOURCE_DIR]   (default: the folder above this one)
root=${1:-$(dirname "$0")/..}
cd "$root/src" || exit 2

find . -name '*.cpp' -o -name '*.h' -o -name '*.h.in' | sort |
    xargs grep -H '^#include "' |
    awk '
# "rank reach" of the layer a path lies in; reach is the highest rank it may
# include.
function layer(p) {
    sub(/^\.\//, "", p)
    if (p ~ /^(util|platform|display)\//) return "0 0"
    if (p ~ /^game\/core\//) return "1 1"
    if (p ~ /^game\/combat\//) return "2 2"
    if (p ~ /^game\/levels\//) return "3 3"
    if (p ~ /^game\/(screens|settings)\//) return "4 4"
    if (p ~ /^audio\//) return "5 1"
    if (p ~ /^game\//) return "5 5"
    if (p ~ /^(web|host)\//) return "6 6"
    return ""
}
{
    file = $0; sub(/:.*/, "", file)
    inc = $0; sub(/^[^"]*"/, "", inc); sub(/".*/, "", inc)
    from = layer(file); to = layer(inc)
    if (from == "" || to == "") next
    split(from, f, " "); split(to, t, " ")
    # Within a layer anything goes; across, only down to the reach.
    if (f[1] == t[1] && f[2] == t[2]) next
    if (t[1] + 0 > f[2] + 0) {
        print "src/" substr(file, 3) " includes " inc ", a layer above it"
        bad = 1
    }
}
END { exit bad }
'
