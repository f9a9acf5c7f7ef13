#!/bin/sh
# Runs a noisy step with its output in a log, and shows the end of that log
# only when the step fails, so CI says why without the noise of success.
# usage: quiet.sh LOG COMMAND [ARG...]
log=$1
shift
mkdir -p "$(dirname "$log")"
"$@" </dev/null >"$log" 2>&1
rc=$?
if [ $rc -ne 0 ]; then
    echo "failed (exit $rc): $*" >&2
    echo "--- the last 40 lines of $log:" >&2
    tail -n 40 "$log" >&2
fi
exit $rc
