#!/usr/bin/env bash
# Configures and builds the MinGW-w64 cross build (build/mingw, or the folder in TRESKEL_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${TRESKEL_BUILD_DIR:-}" ]; then
    cmake -S . -B "$TRESKEL_BUILD_DIR" --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$TRESKEL_BUILD_DIR" -j "$(nproc)"
else
    cmake --preset mingw >/dev/null
    cmake --build --preset mingw -j "$(nproc)"
fi
