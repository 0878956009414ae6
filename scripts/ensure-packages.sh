# Sourced by run.sh and test.sh: installs the Debian/Ubuntu packages that are
# missing, and nothing when everything is there.

# What building and running the program needs.
BUILD_PACKAGES=(cmake g++ make pkg-config libgtk-3-dev libwxgtk3.2-dev libwxgtk-webview3.2-dev libwebkit2gtk-4.0-dev
    fonts-liberation)
# What the tests add: GoogleTest, a headless X server, and clang with its
# sanitizer and fuzzer runtimes (libclang-rt-dev) for the sanitized build,
# clang-format and git for the format check, and the accessibility bus with
# its Python client for reading the windows as a screen reader does.
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev xvfb xauth clang libclang-rt-dev clang-format git
    python3-pyatspi at-spi2-core dbus-daemon)

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
