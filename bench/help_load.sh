#!/usr/bin/env bash
# Times the help viewer on help files of growing size: one long word of 100 KB,
# 300 KB and 1 MB, as many short paragraphs, and a 20 MB plain-text word.
# Usage: bench/help_load.sh BUILD_DIR (built with -DSCOUTWELL_BENCH=ON).
set -euo pipefail
program=${1:?usage: bench/help_load.sh BUILD_DIR}/bin/help_load
files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
for size in 100000 300000 1000000; do
    { printf '{\\rtf1 '; head -c "$size" /dev/zero | tr '\0' w; printf '\\par}'; } >"$files/word-$size.rtf"
    { printf '{\\rtf1 '; for ((i = 0; i < size / 50; i++)); do printf '{\\b Paragraph} %d of a long help file.\\par\n' "$i"; done; printf '}'; } >"$files/paragraphs-$size.rtf"
done
head -c 20000000 /dev/zero | tr '\0' x >"$files/word-20000000.txt"
xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" "$program" "$files"/word-*.rtf "$files"/paragraphs-*.rtf "$files/word-20000000.txt"
