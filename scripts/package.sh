#!/usr/bin/env bash
# Builds the Debian packages in build/packages: liblumetra0 (the library),
# liblumetra-dev (header, pkg-config file, CMake package) and lumetra (the
# program and its manual page).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja >/dev/null
cmake --build "$root/build/release" --target lumetra lumetra_cli
cpack --config "$root/build/release/CPackConfig.cmake" -B "$root/build/packages"
ls "$root"/build/packages/*.deb
