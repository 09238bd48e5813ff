#!/usr/bin/env bash
# Builds the Debian package of Corvane in build-package/ and checks it with lintian.
#   scripts/package.sh     prints the package's path on stdout; building goes to stderr
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh >&2
dir=build-package
# Debian's own compiler and linker flags (hardening: stack protector, fortify, read-only
# relocations, bind now), as a package built by Debian's tools gets them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_STRIP="$PWD/packaging/strip" -DCORVANE_BUILD_TESTS=OFF >&2
cmake --build "$dir" >&2
rm -f "$dir"/*.deb
(cd "$dir" && cpack >&2)
deb=$(ls "$dir"/*.deb)
# Errors fail the build; warnings and notes are shown.
lintian --fail-on error --info "$deb" >&2
echo "$deb"
