#!/usr/bin/env bash
# Builds one configuration: native | asan | fuzz | mingw. Build trees live in build/<name>.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:?native, asan, fuzz or mingw}
case "$kind" in
  native) args=() ;;
  asan)   args=(-DPATHLOOM_SANITIZE=ON -DPATHLOOM_BENCH=OFF) ;;
  fuzz)   args=(-DPATHLOOM_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  mingw)  args=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake) ;;
  *) echo "unknown build $kind" >&2; exit 2 ;;
esac
# ccache, when present, lets several checkouts of the same sources share compiled objects.
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
cmake -G Ninja -S . -B "build/$kind" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" >/dev/null
ninja -C "build/$kind" -j"${JOBS:-2}"
