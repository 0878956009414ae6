#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks it as a desktop would:
# the files in place, the menu entry and AppStream description valid, the
# command line without a display, and the program started from its menu
# entry's Exec line on the display showing its window with the class the menu
# entry names.
#   install_test.sh <build folder> <version>
set -euo pipefail
build=$1
version=$2
scratch=$(mktemp -d)
program=""
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

id=example.scoutwell.Scoutwell
expected="bin/scoutwell
share/applications/$id.desktop
share/icons/hicolor/128x128/apps/$id.png
share/icons/hicolor/16x16/apps/$id.png
share/icons/hicolor/24x24/apps/$id.png
share/icons/hicolor/256x256/apps/$id.png
share/icons/hicolor/32x32/apps/$id.png
share/icons/hicolor/48x48/apps/$id.png
share/icons/hicolor/64x64/apps/$id.png
share/icons/hicolor/scalable/apps/$id.svg
share/man/man1/scoutwell.1
share/metainfo/$id.metainfo.xml
etc/xdg/scoutwell/engines.lst
share/scoutwell/help.rtf
$(cd "$(dirname "$0")/../../resources" && ls engines/*.xml | sed 's|^|share/scoutwell/|')"
actual=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)
[ "$actual" = "$(sort <<<"$expected")" ] || fail "installed files differ:
$(diff <(sort <<<"$expected") <(echo "$actual") || true)"
for size in 16 24 32 48 64 128 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size," ||
        fail "the ${size}x${size} icon is not a $size-pixel PNG"
done

desktop_file=$prefix/share/applications/$id.desktop
desktop-file-validate "$desktop_file" || fail "desktop-file-validate"
sed -n '/^\[Desktop Action new-private-window\]/,$p' "$desktop_file" | grep -qx 'Exec=scoutwell --private' ||
    fail "no New Private Window action starting a private run"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

# The command line is read before any toolkit starts.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/scoutwell" --help) || fail "--help exit status $?"
grep -q '^Usage: scoutwell' <<<"$out" || fail "--help printed: $out"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/scoutwell" --version) || fail "--version exit status $?"
grep -q "^Scoutwell $version\$" <<<"$out" || fail "--version printed: $out"
# An unknown option ends at once with status 2, also where a display is there:
# a window would keep it running until timeout's 124.
status=0
timeout 20 "$prefix/bin/scoutwell" --no-such-option >"$scratch/out" 2>"$scratch/err" || status=$?
[ "$status" = 2 ] || fail "an unknown option gave exit status $status"
[ ! -s "$scratch/out" ] && grep -q 'Usage: scoutwell' "$scratch/err" || fail "unknown option: no usage on stderr"

[ -n "${DISPLAY:-}" ] || fail "no display to start the installed program on (run under xvfb-run)"
# A first start shows the default engines the install put beside its prefix's
# bin/; the program alone, with no selection anywhere, the ones it was made with.
probe() { # program folder
    mkdir -p "$scratch/nothing" "$1"
    HOME=$scratch/nothing XDG_CONFIG_HOME=$scratch/nothing XDG_CONFIG_DIRS=$scratch/nothing \
        XDG_DATA_HOME=$scratch/nothing XDG_DATA_DIRS=$scratch/nothing NO_AT_BRIDGE=1 \
        "$build/bin/startup_probe" "$1" 2>&1 | head -n 5 | tr '\n' '|'
}
defaults=$(tr -d '\r' <"$(dirname "$0")/../../resources/default-engines.lst" | tr '\n' '|')
[ "$(probe "$prefix/bin")" = "$defaults" ] || fail "a first start shows $(probe "$prefix/bin"), not $defaults"
alone=$(probe "$scratch/alone")
[ "$alone" = "Altavista|Lycos|Infoseek|Savvy Search|Dogpile|" ] || fail "the program alone shows $alone"

# Started as the menu would, in a home of its own, on the test's display.
exec_line=$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Exec=//p' "$desktop_file")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_file")
mkdir -p "$scratch/home"
HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local/share \
    PATH=$prefix/bin:$PATH GTK_THEME=Adwaita NO_AT_BRIDGE=1 $exec_line >"$scratch/log" 2>&1 &
program=$!
found=""
for _ in $(seq 600); do
    kill -0 "$program" 2>/dev/null || fail "the installed program ended: $(cat "$scratch/log")"
    for window in $(xwininfo -root -tree | awk '/"Scoutwell": \(/ {print $1}'); do
        if xprop -id "$window" WM_CLASS | grep -q "\"$wm_class\"\$"; then
            found=$window
        fi
    done
    [ -n "$found" ] && break
    sleep 0.1
done
[ -n "$found" ] || fail "no main window with class $wm_class within a minute: $(xwininfo -root -tree | grep -i scout)"
echo "installed program's window $found, class $wm_class"
[ ! -s "$scratch/log" ] || fail "the installed program's start wrote: $(cat "$scratch/log")"
