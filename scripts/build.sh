#!/bin/sh
# build.sh [TARGET...]: installs what the build needs, then builds both flavours of setup.exe,
# the tests and the benchmarks, warnings as errors: build/ (i686: the product,
# build/package/setup.exe) and build-x64/ (x86_64: the same sources for 64-bit Wine). The
# flavour this machine runs (flavour.sh) also gets its Wine prefix; the other only proves that
# it compiles. Given targets, it builds only those, in the build this machine runs, and the
# product.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
. "$top/scripts/flavour.sh"

configure() {
    runs=OFF
    [ "$2" = "$WIZARD_RUN_BUILD" ] && runs=ON
    cmake -S "$top" -B "$top/$2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-$1.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DWIZARD_RUNS_HERE=$runs >/dev/null
}
configure i686 build
configure x86_64 build-x64
if [ $# -gt 0 ]; then
    # Only the given targets, in the build this machine runs, and the product.
    cmake --build "$top/build" --target sample_package
    cmake --build "$top/$WIZARD_RUN_BUILD" --target "$@"
    exit 0
fi
cmake --build "$top/build"
cmake --build "$top/build-x64"
