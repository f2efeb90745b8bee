#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine in a private session.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
source scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start
ctest --preset mingw
