#!/bin/sh
# The verifier's speed beside a plain headless replay of the same recording:
# `morvek --verify` should take at most 1.2 times as long.
#   sh bench/verify-speed.sh [BUILD_DIR] [RECORDING] [RUNS]
# The recording's `shot` and `state` lines are left out for both, as the
# verifier skips them; each is run RUNS times (5) and the best time counts.
set -eu
build=$(cd "${1:-build}" && pwd)
recording=${2:-$(dirname "$0")/../recordings/autopilot.txt}
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build/Media" "$work/Media"
{
    grep -q '^0 option rules ' "$recording" || echo "0 option rules 1"
    grep -v -E '^[0-9]+ (shot|state) ' "$recording"
} >"$work/rec.txt"
best() { # best wall-clock seconds of RUNS runs of "$@"
    i=0 best=""
    while [ "$i" -lt "$runs" ]; do
        start=$(date +%s.%N)
        (cd "$work" && "$@" >/dev/null 2>&1) || true
        end=$(date +%s.%N)
        best=$(echo "$start $end ${best:-999999}" | awk '{t = $2 - $1; print (t < $3) ? t : $3}')
        i=$((i + 1))
    done
    echo "$best"
}
replay=$(best "$build/morvek" --headless --script rec.txt)
verify=$(best "$build/morvek" --verify rec.txt)
echo "$(grep -c . "$work/rec.txt") lines: headless replay ${replay} s, verify ${verify} s" \
    "($(echo "$verify $replay" | awk '{printf "%.2f", $1 / $2}') times)"
