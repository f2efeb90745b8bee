#!/usr/bin/env bash
# Runs one Windows test program in the suite's Wine session. Output goes through a file: Wine's desktop
# process inherits the handles of the first program and would hold a pipe open after the program ends.
if [ -z "${TRESKEL_WINE_SESSION:-}" ]; then
    echo "tests/wine-run.sh: run the tests through scripts/test.sh (it sets up the Wine session)" >&2
    exit 1
fi
out=$(mktemp "$TRESKEL_SESSION_DIR/out.XXXXXX")
wine "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
