#!/usr/bin/env bash
# Installs what the build needs from Debian's packages, only what is missing.
# Safe to run again and again.
set -euo pipefail

packages=(cmake ninja-build g++ clang pkg-config
          libopencv-core-dev libopencv-imgproc-dev libopencv-imgcodecs-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          python3-dev pybind11-dev python3-numpy python3-pytest python3-distributed
          libcli11-dev libexiv2-dev zlib1g-dev dpkg-dev fakeroot)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
