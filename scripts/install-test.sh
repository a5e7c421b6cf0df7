#!/usr/bin/env bash
# Installs the build (build/, or $VOZIROZ_BUILD_DIR) as a user would and uses it from a folder
# outside the repository:
#  1. `cmake --install` into a temporary prefix: the tool (its registration in PREFIX/etc), the
#     Python package, pkg-config and find_package from a tiny C program.
#  2. The .deb (`cpack -G DEB`): installed on this machine with apt-get (as root only; skipped
#     otherwise), the tool and the Python sample run, then purged, and nothing may be left.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(cd "${VOZIROZ_BUILD_DIR:-build}" && pwd)
work=$(mktemp -d /tmp/voziroz-install-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "install-test: FAIL: $*" >&2
  failures=$((failures + 1))
}
# Runs a command with a clean environment: no build folder, no library path, no user registry.
outside() { (cd "$work/elsewhere" && env -i PATH="$PATH" HOME="$work/home" "$@"); }
mkdir -p "$work/elsewhere" "$work/home"
cp samples/family.ged "$work/elsewhere/"

echo "== cmake --install into a temporary prefix"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 || fail "cmake --install"
tool=$prefix/bin/voziroz
outside "$tool" --version | grep -qx "voziroz $(sed -n 's/^project(Voziroz VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ||
  fail "the installed tool's version"
grep -q "libvoziroz.so.1" "$prefix/etc/voziroz/registry" 2> /dev/null ||
  fail "the install did not register the server in $prefix/etc/voziroz/registry"
outside "$tool" info family.ged > /dev/null || fail "the installed tool's info"
python_dir=$prefix/lib/python3/dist-packages
outside env PYTHONPATH="$python_dir" HOME="$work/home" /usr/bin/python3 -c '
import voziroz
parser = voziroz.CreateObject("Voziroz.Parser")   # found through the system registry
parser.Open("family.ged")
assert parser.Execute() and parser.LineCount > 0' || fail "the installed Python package"
[ -f "$prefix/share/man/man1/voziroz.1" ] || fail "no man page"
[ -f "$prefix/share/bash-completion/completions/voziroz" ] || fail "no bash completion"

mkdir -p "$work/consumer"
cat > "$work/consumer/main.c" << 'C'
#include <voziroz.h>
#include <stdio.h>
int main(void) {
  BSTR text = vz_bstr_from_utf8("ok");
  printf("%u\n", vz_bstr_len(text));
  vz_bstr_free(text);
  return 0;
}
C
cat > "$work/consumer/CMakeLists.txt" << 'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(consumer C)
find_package(Voziroz 1 REQUIRED)
add_executable(consumer main.c)
target_link_libraries(consumer PRIVATE Voziroz::vozcom)
CMAKE
flags=$(outside env PKG_CONFIG_PATH="$prefix/lib/$(gcc -print-multiarch)/pkgconfig" \
  pkg-config --cflags --libs voziroz) || fail "pkg-config voziroz"
outside cc "$work/consumer/main.c" $flags -Wl,-rpath,"$prefix/lib/$(gcc -print-multiarch)" \
  -o "$work/consumer/by-pkg-config" && [ "$(outside "$work/consumer/by-pkg-config")" = 2 ] ||
  fail "a program built with pkg-config's flags"
outside cmake -S "$work/consumer" -B "$work/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" \
  > /dev/null && outside cmake --build "$work/consumer/build" > /dev/null &&
  [ "$(outside "$work/consumer/build/consumer")" = 2 ] || fail "find_package(Voziroz)"

echo "== the .deb"
if [ "$(id -u)" -ne 0 ]; then
  echo "  skipped: installing a package needs root"
elif dpkg-query -W voziroz > /dev/null 2>&1; then
  echo "  skipped: a voziroz package is installed on this machine already"
else
  (cd "$build" && cpack -G DEB > "$work/cpack.log" 2>&1) || fail "cpack -G DEB (see below)"
  deb=$(ls "$build"/voziroz_*.deb 2> /dev/null | head -n 1)
  if [ -n "$deb" ]; then
    dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "the .deb declares no library dependencies"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" > "$work/apt.log" 2>&1 ||
      fail "apt-get install $(basename "$deb")"
    grep -q 'libvoziroz.so.1' /etc/voziroz/registry 2> /dev/null || fail "not registered on install"
    outside voziroz ancestors family.ged @I6@ > /dev/null || fail "the packaged tool"
    outside /usr/bin/python3 /usr/share/voziroz/examples/sample_tour.py family.ged > /dev/null ||
      fail "the Python sample with the packaged package"
    files=$(dpkg-query -L voziroz | sort)
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq voziroz > /dev/null 2>&1 || fail "purge"
    left=$({
      for f in $files; do [ -f "$f" ] && echo "$f"; done
      for d in /etc/voziroz /usr/lib/python3/dist-packages/voziroz /usr/share/voziroz; do
        [ -e "$d" ] && echo "$d"
      done
    } || true)
    [ -z "$left" ] || fail "left after purge: $left"
  else
    cat "$work/cpack.log" >&2
  fi
fi

if [ $failures -ne 0 ]; then
  echo "install-test: $failures failure(s)" >&2
  exit 1
fi
echo "install-test: all passed"
