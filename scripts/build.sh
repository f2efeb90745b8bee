#!/usr/bin/env bash
# Configures and builds the MinGW-w64 cross build in build/mingw.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)"
