#!/usr/bin/env bash
# Runs every fuzz target for a while (default 300 seconds each) under
# AddressSanitizer and UndefinedBehaviorSanitizer. New inputs that reach new
# code are kept in build-sanitize/fuzz-corpus/<target>; a crash leaves its
# input in build-sanitize/tests/fuzz/ and ends the script with a failure.
#   ./fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh

seconds="${1:-300}"
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSCOUTWELL_GUI=OFF -DSCOUTWELL_SANITIZE=ON -DSCOUTWELL_FUZZ=ON
cmake --build build-sanitize -j "$(nproc)"

status=0
for source in tests/fuzz/*_fuzz.cpp; do
    target="$(basename "$source" .cpp)"
    corpus="build-sanitize/fuzz-corpus/$target"
    mkdir -p "$corpus"
    # The seed corpus of the target is the CMake function's second argument.
    seeds="$(sed -n "s/^scoutwell_fuzz_target($target \([^ ]*\) .*)/\1/p" tests/fuzz/CMakeLists.txt)"
    cp -n "tests/fuzz/corpus/$seeds"/* "$corpus"/ 2>/dev/null || true
    echo "== $target for $seconds s"
    if ! "build-sanitize/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="build-sanitize/tests/fuzz/$target-" "$corpus"; then
        echo "$target found a failure: its input is in build-sanitize/tests/fuzz/$target-*" >&2
        status=1
    fi
done
exit $status
