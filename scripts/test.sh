#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (unit, widget, end-to-end).
# End-to-end tests start their own Xvfb and local servers on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --update
build=${TEVO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
