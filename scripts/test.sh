#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test without a display: the Linux build's,
# then the Windows build's under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev
QT_QPA_PLATFORM=offscreen ctest --preset dev

scripts/test-windows.sh
