#!/usr/bin/env bash
# Builds the Debian packages of Scoutwell the Debian way (debian/, debhelper): ./package.sh
# dpkg-buildpackage builds a copy of the source tree in build-package/, so its packages land there:
# build-package/scoutwell_<version>_<arch>.deb and the stripped binary's debug symbols in
# scoutwell-dbgsym_<version>_<arch>.deb, then lintian checks them (pedantic; errors and warnings fail).
# Install with: sudo apt-get install ./build-package/scoutwell_*.deb
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh

ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
version=$(dpkg-parsechangelog -S Version)
cmakeVersion=$(sed -nE 's/^project\(Scoutwell VERSION ([^ )]+).*/\1/p' CMakeLists.txt)
if [ "$version" != "$cmakeVersion" ]; then
    echo "debian/changelog says version $version and CMakeLists.txt $cmakeVersion: add a changelog entry (dch -v $cmakeVersion)" >&2
    exit 1
fi
source=build-package/scoutwell-$version
rm -rf build-package
mkdir -p "$source"
# The files git knows or would add (uncommitted changes included), not build folders.
# A tracked file deleted in the working tree is left out.
git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
    xargs -0 cp --parents -t "$source"
(cd "$source" && dpkg-buildpackage -b -us -uc -Jauto)
rm -rf "$source"
lintian --pedantic --fail-on error,warning build-package/scoutwell_*.changes
ls -1 build-package/*.deb
