#!/usr/bin/env bash
# Builds a Debian package of Scoutwell with CPack: ./package.sh
# The package (build-package/scoutwell_<version>_<arch>.deb) holds what
# `cmake --install` puts in place under /usr; its library dependencies are
# found by dpkg-shlibdeps. Install it with: sudo apt-get install ./build-package/scoutwell_*.deb
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh

ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DSCOUTWELL_TESTS=OFF
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack -G DEB)
ls -1 build-package/scoutwell_*.deb
