#!/usr/bin/env bash
# Times a start with many engine descriptions in the user's engine folder: from
# launch to the main window on screen, the splash clicked away as soon as it is
# up, three runs each for no descriptions and for 5,000 (or the counts given).
# Usage: bench/engine_load.sh BUILD_DIR [COUNT...]
set -euo pipefail
program=$(realpath "${1:?usage: bench/engine_load.sh BUILD_DIR [COUNT...]}")/bin/scoutwell
shift
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(0 5000)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/start.sh" <<'INNER'
# Prints the seconds from launch to the main window being mapped.
set -euo pipefail
start=$(date +%s.%N)
"$PROGRAM" 2>"$HOME/stderr" &
pid=$!
splash=$(xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
xdotool mousemove --window "$splash" 20 20 click 1
xdotool search --sync --onlyvisible --name '^Scoutwell$' >/dev/null
end=$(date +%s.%N)
kill "$pid"
wait "$pid" || true
echo "$start $end" | awk '{ printf "%.2f", $2 - $1 }'
INNER

for count in "${counts[@]}"; do
    home="$work/home-$count"
    mkdir -p "$home/.config/scoutwell/engines" "$home/.cache"
    for ((i = 1; i <= count; i++)); do
        printf '<OpenSearchDescription><ShortName>Engine %d</ShortName><Description>Engine number %d</Description><Url type="text/html" template="https://e%d.example/?q={searchTerms}"/></OpenSearchDescription>\n' \
            "$i" "$i" "$i" >"$home/.config/scoutwell/engines/engine-$i.xml"
    done
    times=()
    for run in 1 2 3; do
        times+=("$(HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$work/cache" \
            XDG_DATA_HOME="$home/.local/share" PROGRAM="$program" GTK_THEME=Adwaita NO_AT_BRIDGE=1 \
            xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" bash "$work/start.sh")")
    done
    printf '%5d descriptions: main window shown after %s s (stderr: %d lines)\n' "$count" "${times[*]}" \
        "$(wc -l <"$home/stderr")"
done
