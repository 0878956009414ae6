#!/usr/bin/env bash
# Starts the built program on a virtual display of its own, waits, and saves a
# picture of the whole screen: ./scripts/screenshot.sh shot.png [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-shot.png}
wait_seconds=${2:-6}
command -v import >/dev/null || { echo "needs ImageMagick: apt-get install imagemagick" >&2; exit 1; }
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
    build/bin/scoutwell & program=$!
    sleep "$1"
    import -window root "$2"
    kill $program' _ "$wait_seconds" "$(realpath -m "$output")"
echo "saved $output"
