# Sourced by run.sh and test.sh: installs the Debian/Ubuntu packages that are
# missing, and nothing when everything is there.

# The WebKitGTK development files must be those of the API the distribution's
# wxWebView links (the build checks it too): 4.0 on Debian 12, 4.1 on Debian 13,
# Ubuntu 24.04 and later.
webkit_dev_package() {
    local id="" version=""
    if [ -r /etc/os-release ]; then
        id=$(. /etc/os-release && echo "${ID:-}")
        version=$(. /etc/os-release && echo "${VERSION_ID:-}")
    fi
    case "$id:$version" in
    debian:12) echo libwebkit2gtk-4.0-dev ;;
    debian:* | ubuntu:*) echo libwebkit2gtk-4.1-dev ;;
    *)
        # A derivative: whichever the wxWebView package asks for.
        if apt-cache depends libwxgtk-webview3.2-1 2>/dev/null | grep -q 'libwebkit2gtk-4\.0'; then
            echo libwebkit2gtk-4.0-dev
        else
            echo libwebkit2gtk-4.1-dev
        fi
        ;;
    esac
}

# What building and running the program needs.
BUILD_PACKAGES=(cmake g++ make pkg-config libgtk-3-dev libwxgtk3.2-dev libwxgtk-webview3.2-dev "$(webkit_dev_package)"
    libexpat1-dev fonts-liberation)
# What the tests add: GoogleTest, a headless X server, and clang with its
# sanitizer and fuzzer runtimes (libclang-rt-dev) for the sanitized build,
# clang-format and git for the format check, the validators of the installed
# desktop file and AppStream metadata, xwininfo/xprop (x11-utils) to see the
# installed program's window, the accessibility bus with its Python client
# for reading the windows as a screen reader does, file(1) for the install
# test, and DejaVu so that "Sans" is the same proportional face on every
# system (a minimal one would otherwise pick whatever font happens to be there).
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev xvfb xauth clang libclang-rt-dev clang-format git
    desktop-file-utils appstream x11-utils python3-pyatspi at-spi2-core dbus-daemon file fonts-dejavu-core)
# What ./package.sh adds: dpkg-buildpackage and the compilers, debhelper for
# debian/rules, and lintian to check the packages. debian/control's
# Build-Depends name the same build packages as BUILD_PACKAGES above.
PACKAGE_PACKAGES=(build-essential debhelper devscripts lintian)

ensure_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "These packages are missing and sudo is not available to install them: ${missing[*]}" >&2
            return 1
        fi
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
