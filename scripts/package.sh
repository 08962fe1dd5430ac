#!/usr/bin/env bash
# Builds the Debian package of the main menu, tevo-settings and tevo-profile.
#
#   scripts/package.sh [OUTPUT-FOLDER]
#
# A release build without tests in its own folder (TEVO_PACKAGE_BUILD_DIR, default
# build-package) with Debian's hardening flags, then CPack. The package is written to OUTPUT-FOLDER (default: the build
# folder) and its path printed last. CMAKE_BUILD_PARALLEL_LEVEL limits the build's jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TEVO_PACKAGE_BUILD_DIR:-build-package}
out=${1:-$build}

scripts/setup.sh
# Debian's flags from dpkg-buildflags (cmake/DistributionFlags.cmake): every hardening feature,
# and source paths in the binaries relative to the source folder, as in Debian's own builds.
export DEB_BUILD_MAINT_OPTIONS=${DEB_BUILD_MAINT_OPTIONS:-hardening=+all}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEVO_BUILD_TESTS=OFF \
  -DTEVO_DISTRIBUTION_FLAGS=ON
cmake --build "$build"
mkdir -p "$out"
out=$(cd "$out" && pwd)
cpack --config "$build/CPackConfig.cmake" -B "$out"
rm -rf "$out/_CPack_Packages" # CPack's staging folder

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$out/tevo-menu_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "package: cpack wrote no $deb" >&2; exit 1; }
echo "package: $deb"
