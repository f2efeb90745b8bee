#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine in a private session.
# Extra arguments go to ctest (for example -R batch_run_test).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
source scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start
ctest --test-dir "${TRESKEL_BUILD_DIR:-build/mingw}" --output-on-failure "$@"
