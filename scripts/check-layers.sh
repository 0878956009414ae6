#!/usr/bin/env bash
# Fails when a file includes a header from a folder below which it may not
# reach, a toolkit header (GTK, GDK, GLib/GIO, X11, WebKit, EGL/GL) outside the
# toolkit folders (platform/, pagepolicy/, helpviewer/), or a wx header in the
# plain C++ folders; and when the table allows a folder that no include uses.
# The table is the one place that says which folder may use which.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A may_use=(
    [core]="core"
    [search]="core search"
    [richtext]="core richtext"
    [platform]="core platform"
    [pagepolicy]="core platform pagepolicy"
    [helpviewer]="core richtext helpviewer"
    [resources]="resources"
    [sidewindows]="core platform helpviewer resources sidewindows"
    [mainwindow]="core search platform pagepolicy resources sidewindows mainwindow"
    [app]="core platform resources sidewindows mainwindow app"
)
plain_folders=" core search richtext "
toolkit_folders=" platform pagepolicy helpviewer "
toolkit='^(gtk|gdk|gdk-pixbuf|glib|gio|gobject|X11|webkit2?|JavaScriptCore|jsc|EGL|GL|GLES[0-9]*|libsoup|cairo|pango)/|^(glib|gio/gio|gtk/gtk|gdk/gdk)[^/]*\.h$'

# Which folder each of the program's headers lives in.
declare -A home=()
for folder in "${!may_use[@]}"; do
    while IFS= read -r header; do
        home[$(basename "$header")]=$folder
    done < <(git ls-files -- "$folder/*.h")
done

failures=0
declare -A used=()
for folder in "${!may_use[@]}"; do
    while IFS= read -r file; do
        while IFS= read -r line; do
            number=${line%%:*}
            include=${line#*:}
            if [[ $include =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
                header=$(basename "${BASH_REMATCH[1]}")
                owner=${home[$header]:-}
                [[ -n $owner ]] && used["$folder $owner"]=1
                if [[ -n $owner && " ${may_use[$folder]} " != *" $owner "* ]]; then
                    echo "$file:$number: $folder/ may not include $owner/$header"
                    failures=$((failures + 1))
                fi
            elif [[ $include =~ \#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
                header=${BASH_REMATCH[1]}
                if [[ $toolkit_folders != *" $folder "* && $header =~ $toolkit ]]; then
                    echo "$file:$number: only the toolkit folders ($toolkit_folders) may include <$header>"
                    failures=$((failures + 1))
                elif [[ $plain_folders == *" $folder "* && $header == wx/* ]]; then
                    echo "$file:$number: $folder/ is plain C++ and may not include <$header>"
                    failures=$((failures + 1))
                fi
            fi
        done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
    done < <(git ls-files -- "$folder/*.cpp" "$folder/*.h")
done

for folder in "${!may_use[@]}"; do
    for owner in ${may_use[$folder]}; do
        if [[ $owner != "$folder" && -z ${used["$folder $owner"]:-} ]]; then
            echo "$folder/ may use $owner/ in scripts/check-layers.sh, but nothing in $folder/ does: drop it from the table"
            failures=$((failures + 1))
        fi
    done
done

if [ "$failures" -gt 0 ]; then
    echo "$failures include(s) break the layering" >&2
    exit 1
fi
echo "layering: every include points down"
