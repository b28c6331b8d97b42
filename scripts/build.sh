#!/usr/bin/env bash
# Builds one configuration: native | asan | fuzz | mingw | mingw32, whole or only the targets named
# after it. Build trees live in build/<name>.
# mingw is the build the Wine tests run: 32-bit, or 64-bit on a machine that cannot execute 32-bit
# programs (there Wine runs only 64-bit ones). mingw32 is always the 32-bit build the programs ship as.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:?native, asan, fuzz, mingw or mingw32}
shift
case "$kind" in
  native) args=() ;;
  # Unoptimised: the sanitizers check the same either way, and -O2 tripled the compile of a test file.
  asan)   args=(-DPATHLOOM_SANITIZE=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O0 -g -DNDEBUG"
                "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O0 -g -DNDEBUG") ;;
  fuzz)   args=(-DPATHLOOM_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  mingw)
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
      args=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake)
    else
      echo "build.sh: this machine cannot run 32-bit programs; the Wine tests use a 64-bit build" >&2
      args=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake)
    fi ;;
  # As the programs ship: optimised, without debug information.
  mingw32) args=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release) ;;
  *) echo "unknown build $kind" >&2; exit 2 ;;
esac
# ccache, when present, lets several checkouts of the same sources share compiled objects.
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
# A tree configured for the other architecture is made anew: CMake keeps its first compiler.
cache="build/$kind/CMakeCache.txt"
for a in "${args[@]}"; do
  case "$a" in -DCMAKE_TOOLCHAIN_FILE=*)
    [ -f "$cache" ] && ! grep -q "${a#-DCMAKE_TOOLCHAIN_FILE=}" "$cache" && rm -rf "build/$kind" ;;
  esac
done
# Configured once per set of arguments: after that ninja itself runs CMake again when a list changes.
stamp="build/$kind/configured-with"
if [ ! -f "$cache" ] || [ "$(cat "$stamp" 2>/dev/null)" != "${args[*]}" ]; then
  cmake -G Ninja -S . -B "build/$kind" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" >/dev/null
  echo "${args[*]}" >"$stamp"
fi
ninja -C "build/$kind" -j"${JOBS:-2}" "$@"
