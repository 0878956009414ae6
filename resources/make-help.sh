#!/usr/bin/env bash
# Makes the help document, resources/help.rtf, from help.rtf.in and pictures
# of the program itself: the built program runs on a virtual display, is
# driven as a user would drive it, and parts of its window are cut out of
# screenshots into resources/help-pictures/. The logo is the splash logo.
#
#   resources/make-help.sh                  new pictures, then the document
#   resources/make-help.sh --text-only      the document from the pictures there are
#   resources/make-help.sh --preview DIR    pictures of the help window as the user
#                                           sees it, scrolled down page by page, into DIR
#
# The build folder is ./build unless SCOUTWELL_BUILD names another.
set -euo pipefail
self=$(realpath "$0")
caller=$PWD
cd "$(dirname "$self")/.."
root=$PWD
build=$(realpath -m "${SCOUTWELL_BUILD:-build}")
pictures=$root/resources/help-pictures

# The screen size the pictures are taken at; the program fills it.
screen=1024x768x24

start_program() { # folder
    # Nothing may leave the machine: every page the views ask for goes to a
    # local port where nothing listens.
    export http_proxy=http://127.0.0.1:9 https_proxy=http://127.0.0.1:9 no_proxy=
    export GTK_THEME=Adwaita NO_AT_BRIDGE=1
    # A steady text cursor, so that every run pictures the same keyword box.
    mkdir -p "$1/config/gtk-3.0"
    printf '[Settings]\ngtk-cursor-blink=false\n' >"$1/config/gtk-3.0/settings.ini"
    export XDG_CONFIG_HOME=$1/config
    # A folder of its own, so no saved engine choices change the pictures.
    cp "$build/bin/scoutwell" "$1/scoutwell"
    # The document as it stands now, whatever the build's copy.
    cp "$root/resources/help.rtf" "$1/help.rtf"
    "$1/scoutwell" &
    program=$!
    # The splash comes first; the main window, named, after it.
    main_window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Scoutwell$' | head -n 1)
    sleep 1
}

stop_program() {
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
}

click_at() { # window x y
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.2
    xdotool click 1
    sleep 0.3
}

# Runs on the virtual display: drives the program and cuts out the pictures.
# Positions are the main window's fixed design positions in pixels (twips / 15).
shoot() { # work folder
    local work=$1
    mkdir -p "$work/folder"
    start_program "$work/folder"

    # Keywords typed and searched for; keys reach the window under the pointer.
    click_at "$main_window" 84 37
    xdotool type --delay 60 'new york'
    xdotool key Return
    # The pointer off the controls, so no button is drawn lit.
    xdotool mousemove --window "$main_window" 800 40
    sleep 1.5
    import -window root "$work/strip.png"

    # The first pane zoomed: the URL bar shows, and its address within a second.
    click_at "$main_window" 20 113
    xdotool mousemove --window "$main_window" 800 400
    sleep 2.5
    import -window root "$work/zoomed.png"
    stop_program

    mkdir -p "$pictures"
    convert "$work/strip.png" -crop 163x75+3+3 +repage "$pictures/keywords.png"
    convert "$work/strip.png" -crop 450x47+179+1 +repage "$pictures/engines.png"
    convert "$work/strip.png" -crop 46x68+0+104 +repage "$pictures/pane-buttons.png"
    convert "$work/zoomed.png" -crop 132x28+0+0 +repage "$pictures/load-in-browser.png"
    convert "$work/zoomed.png" -crop 481x35+144+0 +repage "$pictures/current-url.png"
}

# Runs on the virtual display: opens the help window and pictures it, a page
# further down each time.
preview() { # work folder, output folder
    local work=$1 output=$2
    mkdir -p "$work/folder" "$output"
    start_program "$work/folder"
    click_at "$main_window" 623 15 # Help
    local help
    help=$(timeout 10 xdotool search --sync --onlyvisible --name '^Help$' | head -n 1)
    xdotool mousemove --window "$help" 200 150
    sleep 1
    for page in 1 2 3 4 5; do
        import -window root "$output/help-$page.png"
        xdotool key Next
        sleep 0.5
    done
    stop_program
}

write_document() { # work folder
    local work=$1 png
    mkdir -p "$work/bmp"
    # The document's pictures are plain 24-bit bitmaps.
    convert "$root/resources/splash-logo.jpg" -alpha off -type TrueColor "BMP3:$work/bmp/logo.bmp"
    for png in "$pictures"/*.png; do
        convert "$png" -alpha off -type TrueColor "BMP3:$work/bmp/$(basename "$png" .png).bmp"
    done
    "$build/resources/help_document_tool" "$root/resources/help.rtf.in" "$work/bmp" "$root/resources/help.rtf"
    echo "wrote resources/help.rtf"
}

case "${1:-}" in
--inside-shoot)
    shoot "$2"
    exit
    ;;
--inside-preview)
    preview "$2" "$3"
    exit
    ;;
esac

source scripts/ensure-packages.sh
ensure_packages imagemagick xdotool xvfb xauth
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build"
cmake --build "$build" -j2 --target scoutwell help_document_tool

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
case "${1:-}" in
"")
    xvfb-run -a -s "-screen 0 $screen -nolisten tcp" "$self" --inside-shoot "$work"
    write_document "$work"
    ;;
--text-only)
    write_document "$work"
    ;;
--preview)
    [ -n "${2:-}" ] || { echo "--preview needs a folder for the pictures" >&2; exit 2; }
    xvfb-run -a -s "-screen 0 $screen -nolisten tcp" "$self" --inside-preview "$work" "$(cd "$caller" && realpath -m "$2")"
    echo "saved the help window's pictures in $2"
    ;;
*)
    echo "usage: $0 [--text-only | --preview DIR]" >&2
    exit 2
    ;;
esac
