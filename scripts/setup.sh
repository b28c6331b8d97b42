#!/usr/bin/env bash
# Brings a fresh Debian 12 machine (as root) to a state that builds and tests everything.
# Idempotent: costs a second or two when everything is already there.
set -euo pipefail

need=(cmake ninja-build g++ clang mingw-w64 wine wine32:i386 wine64 xvfb xauth
      libgtest-dev libgmock-dev libbenchmark-dev python3 python3-pyftpdlib openssl imagemagick x11-utils
      fonts-dejavu-extra fonts-wqy-microhei fonts-wine librsvg2-bin ccache nsis)
# fonts-wqy-microhei (1.6 MB) gives Wine and librsvg the CJK glyphs that chart labels may need.

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# libFuzzer's runtime comes with clang's compiler-rt package on Debian 12
if ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  missing+=("libclang-rt-14-dev")
fi
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
