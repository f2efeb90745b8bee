#!/usr/bin/env bash
# Installs what is missing, builds, and starts Treskel under Wine. Without a display it opens Treskel on a
# virtual one, saves a screenshot, says where, and ends.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exe="$PWD/build/mingw/mainwindow/Treskel.exe"
if [ -n "${DISPLAY:-}" ]; then
    exec env LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 wine "$exe"
fi
source scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start
mkdir -p build/screenshots
wine "$exe" >"$TRESKEL_SESSION_DIR/treskel.log" 2>&1 &
sleep 8
shot="$PWD/build/screenshots/treskel.png"
wine_session_screenshot "$shot"
echo "Treskel ran on a virtual display; screenshot: $shot"
