#!/bin/sh
# The layer check passes on the sources, and catches an include that runs up
# a layer in a planted tree (a check that never fails checks nothing).
# usage: layers-check.sh SOURCE_DIR
src=$1
check="$src/scripts/check-layers.sh"
sh "$check" "$src" || exit 1

tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
plant() { # plant FILE INCLUDE: a tree of one file that includes one header
    rm -rf "$tmp/src" && mkdir -p "$tmp/src/$(dirname "$1")"
    printf '#include "%s"\n' "$2" >"$tmp/src/$1"
}
expect() { # expect PASS|FAIL FILE INCLUDE
    plant "$2" "$3"
    if sh "$check" "$tmp" >/dev/null; then got=PASS; else got=FAIL; fi
    [ "$got" = "$1" ] || { echo "$2 including $3: expected $1, got $got"; fail=1; }
}
fail=0
expect PASS game/screens/Menu.cpp game/levels/Levels.h
expect PASS game/combat/Field.cpp game/core/World.h
expect PASS game/Main.cpp game/autopilot/Autopilot.h
expect PASS audio/Director.h game/core/World.h
expect FAIL game/core/Field.cpp game/combat/Items.h
expect FAIL game/combat/Enemies.cpp game/levels/Difficulty.h
expect FAIL game/levels/Levels.cpp game/screens/GameOver.h
expect FAIL game/screens/Menu.cpp game/Game.h
expect FAIL display/Run.h game/core/World.h
expect FAIL audio/Director.cpp game/combat/Player.h
expect FAIL game/levels/Levels.cpp audio/Sound.h
exit $fail
