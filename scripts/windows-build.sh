#!/usr/bin/env bash
# Builds Voziroz.dll for 64-bit Windows (and, build only, for 32-bit Windows) with Debian's
# mingw-w64 cross compilers, into build-windows/ (or $VOZIROZ_WINDOWS_BUILD_DIR):
#   build-windows/x86_64/windows/Voziroz.dll   the server that the Wine tests register
#   build-windows/i686/windows/Voziroz.dll     the same for 32-bit Windows
# libjpeg-turbo and utf8proc are built once per architecture from Debian's source packages and
# cached in build-windows/third_party/. Set VOZIROZ_WINDOWS_ARCHS="x86_64" to skip the 32-bit build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/install-deps.sh windows
out=${VOZIROZ_WINDOWS_BUILD_DIR:-build-windows}
mkdir -p "$out/third_party"
out=$(cd "$out" && pwd)
archs=${VOZIROZ_WINDOWS_ARCHS:-x86_64 i686}
jobs=${VOZIROZ_JOBS:-2}

# Debian's source of a package (the version that the Linux build links), fetched once.
debian_source() {
  local package=$1 src
  src=$(ls -d "$out"/third_party/"$package"-[0-9]*/ 2>/dev/null | head -n 1)
  if [ -z "$src" ]; then
    (cd "$out/third_party" && apt-get source -qq "$package" > /dev/null 2>&1) || {
      echo "windows-build: apt-get source $package failed (scripts/install-deps.sh as root" \
        "adds the deb-src entry it needs)" >&2
      exit 1
    }
    src=$(ls -d "$out"/third_party/"$package"-[0-9]*/ | head -n 1)
  fi
  echo "${src%/}"
}

# The static libjpeg for one architecture: include/ and lib/libjpeg.a under $out/third_party.
build_jpeg() {
  local arch=$1 prefix="$out/third_party/jpeg-$1"
  [ -f "$prefix/lib/libjpeg.a" ] && return 0
  local src
  src=$(debian_source libjpeg-turbo)
  cmake -S "$src" -B "$out/third_party/jpeg-build-$arch" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    > /dev/null
  cmake --build "$out/third_party/jpeg-build-$arch" -j "$jobs" --target jpeg-static > /dev/null
  mkdir -p "$prefix/include" "$prefix/lib"
  cp "$src"/{jpeglib.h,jmorecfg.h,jerror.h} "$out/third_party/jpeg-build-$arch/jconfig.h" \
    "$prefix/include/"
  cp "$out/third_party/jpeg-build-$arch/libjpeg.a" "$prefix/lib/"
}

# The static utf8proc for one architecture: include/utf8proc.h and lib/libutf8proc.a.
build_utf8proc() {
  local arch=$1 prefix="$out/third_party/utf8proc-$1"
  [ -f "$prefix/lib/libutf8proc.a" ] && return 0
  local src
  src=$(debian_source utf8proc)
  cmake -S "$src" -B "$out/third_party/utf8proc-build-$arch" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF -DUTF8PROC_INSTALL=OFF > /dev/null
  cmake --build "$out/third_party/utf8proc-build-$arch" -j "$jobs" --target utf8proc > /dev/null
  mkdir -p "$prefix/include" "$prefix/lib"
  cp "$src/utf8proc.h" "$prefix/include/"
  cp "$out/third_party/utf8proc-build-$arch/libutf8proc.a" "$prefix/lib/"
}

for arch in $archs; do
  build_jpeg "$arch"
  build_utf8proc "$arch"
  jpeg="$out/third_party/jpeg-$arch"
  utf8proc="$out/third_party/utf8proc-$arch"
  tests=OFF
  [ "$arch" = x86_64 ] && tests=ON  # the 32-bit build cannot run here
  cmake -S . -B "$out/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" -DVOZIROZ_TESTS=$tests \
    -DJPEG_INCLUDE_DIR="$jpeg/include" -DJPEG_LIBRARY="$jpeg/lib/libjpeg.a" \
    -DUTF8PROC_INCLUDE_DIR="$utf8proc/include" -DUTF8PROC_LIBRARY="$utf8proc/lib/libutf8proc.a" \
    > /dev/null
  cmake --build "$out/$arch" -j "$jobs"
done
