#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh

ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

# House rules that need no build: includes point down the layers only, and
# every C++ file is formatted as .clang-format says.
scripts/check-layers.sh
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "format: every C++ file follows .clang-format"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

# The code without a display once more, built by clang under AddressSanitizer
# and UndefinedBehaviorSanitizer, with a short run of every fuzz target.
CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSCOUTWELL_GUI=OFF -DSCOUTWELL_SANITIZE=ON -DSCOUTWELL_FUZZ=ON
cmake --build build-sanitize -j "$(nproc)"
ctest --test-dir build-sanitize --output-on-failure --timeout 300

# The GUI tests open real windows: give them a virtual display of their own,
# whatever display this shell may have.
xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
    ctest --test-dir build --output-on-failure --timeout 300
