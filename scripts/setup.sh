#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Corvane needs, where missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-webengine-dev qt6-pdf-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev poppler-utils
    fonts-dejavu-core fonts-liberation2 python3-xlwt python3-ezdxf
    clang libclang-rt-14-dev
    dpkg-dev file lintian appstream desktop-file-utils shared-mime-info man-db
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$p")
done
(( ${#missing[@]} )) || exit 0

echo "Installing: ${missing[*]}"
sudo=()
(( EUID == 0 )) || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
