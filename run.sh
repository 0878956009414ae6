#!/usr/bin/env bash
# Installs what is missing, builds, and starts Scoutwell.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh

ensure_packages "${BUILD_PACKAGES[@]}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target scoutwell

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Scoutwell needs a graphical display and none was found; to run it on a virtual one, install xvfb and run: xvfb-run -a -s \"-screen 0 1600x1200x24\" build/bin/scoutwell" >&2
    exit 1
fi
exec build/bin/scoutwell
