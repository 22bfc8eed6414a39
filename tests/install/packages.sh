#!/usr/bin/env bash
# Builds the Debian packages from the build tree and checks what each holds.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
failures=0

# package, then a pattern every listed path must match one of.
expect_files() {
    local package="$1"; shift
    local deb
    deb="$(ls "$work"/"${package}"_*.deb 2>/dev/null | head -n 1)"
    [ -n "$deb" ] || { echo "FAIL: no package $package"; failures=$((failures + 1)); return; }
    dpkg-deb -c "$deb" | awk '{print $6}' >"$work/$package.txt"
    for pattern in "$@"; do
        grep -Eq "$pattern" "$work/$package.txt" || { echo "FAIL: $package lacks $pattern"; failures=$((failures + 1)); }
    done
}
expect_files liblumetra0 '^\./usr/lib/.*liblumetra\.so\.0$' '^\./usr/lib/.*liblumetra\.so\.0\.1\.0$'
expect_files liblumetra-dev '^\./usr/include/lumetra\.h$' '^\./usr/lib/.*liblumetra\.so$' \
    '^\./usr/lib/.*pkgconfig/lumetra\.pc$' '^\./usr/lib/.*cmake/Lumetra/LumetraConfig\.cmake$' \
    '^\./usr/lib/.*cmake/Lumetra/LumetraTargets\.cmake$'
expect_files lumetra '^\./usr/bin/lumetra$' '^\./usr/share/man/man1/lumetra\.1'
# Nothing of the development files in the runtime package, and no program in the library's.
grep -Eq 'include|pkgconfig|cmake|bin/' "$work/liblumetra0.txt" && { echo "FAIL: liblumetra0 holds more than the library"; failures=$((failures + 1)); }
dpkg-deb -f "$(ls "$work"/lumetra_*.deb)" Depends | grep -q 'liblumetra0' || { echo "FAIL: lumetra does not depend on liblumetra0"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "packages: liblumetra0, liblumetra-dev, lumetra as expected"
[ "$failures" -eq 0 ]
