#!/usr/bin/env bash
# Builds one configuration: native | asan | mingw | mingw32, whole or only the targets named
# after it. Build trees live in build/<name>.
# mingw is the build the Wine tests run: 32-bit, or 64-bit on a machine that cannot execute 32-bit
# programs (there Wine runs only 64-bit ones). mingw32 is always the 32-bit build the programs ship as.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:?native, asan, mingw or mingw32}
shift
case "$kind" in
  native) args=() ;;
  # The unit tests under ASan and UBSan, the benchmarks, and the libFuzzer targets beside them, all
  # linking one set of instrumented cores. clang compiles the tests in half gcc's time.
  asan)   args=(-DPATHLOOM_SANITIZE=ON -DPATHLOOM_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
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
  # The Win32 files' precompiled header is hashed whole; its macros and dates need not be.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=pch_defines,time_macros
fi
# Configured once per set of arguments: after that ninja itself runs CMake again when a list changes.
# A tree configured with other arguments is made anew, since CMake keeps its first compiler.
stamp="build/$kind/configured-with"
if [ ! -f "build/$kind/CMakeCache.txt" ] || [ "$(cat "$stamp" 2>/dev/null)" != "${args[*]}" ]; then
  rm -rf "build/$kind"
  cmake -G Ninja -S . -B "build/$kind" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" >/dev/null
  echo "${args[*]}" >"$stamp"
fi
ninja -C "build/$kind" -j"${JOBS:-2}" "$@"
