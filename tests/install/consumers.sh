#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what is in place, then
# builds and runs two hosts against it: a C program through pkg-config and a
# CMake project through find_package(Lumetra).
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

library="$(find "$prefix" -name 'liblumetra.so.0' | head -n 1)"
[ -n "$library" ] || { echo "FAIL: no liblumetra.so.0 under the prefix"; exit 1; }
objdump -p "$library" | grep -q 'SONAME *liblumetra.so.0$' || { echo "FAIL: soname"; exit 1; }
for file in include/lumetra.h bin/lumetra share/man/man1/lumetra.1; do
    [ -e "$prefix/$file" ] || { echo "FAIL: $file not installed"; exit 1; }
done
"$prefix/bin/lumetra" --version | grep -q '^lumetra ' || { echo "FAIL: the installed program does not run"; exit 1; }

export PKG_CONFIG_PATH="$(dirname "$(find "$prefix" -name lumetra.pc)")"
libdir="$(pkg-config --variable=libdir lumetra)"
# shellcheck disable=SC2046
cc -o "$work/c_consumer" "$here/consumer.c" $(pkg-config --cflags --libs lumetra) -Wl,-rpath,"$libdir"
"$work/c_consumer"

cmake -S "$here/cmake_consumer" -B "$work/cmake_consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake_consumer" >/dev/null
"$work/cmake_consumer/consumer"
