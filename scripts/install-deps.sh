#!/usr/bin/env bash
# Installs the Debian packages that Voziroz needs, by set, only what is missing:
#   install-deps.sh              what the Linux build needs (compiler, CMake, linked libraries)
#   install-deps.sh test         + what the tests and the .deb check need
#   install-deps.sh windows      + Wine and the mingw cross compilers (and a deb-src entry, for
#                                  libjpeg-turbo's source) for Voziroz.dll
# As root it installs them (apt-get; nothing comes from anywhere but Debian). As another user it
# only reports what is missing, and fails if a package is.
set -euo pipefail

build=(cmake ninja-build g++ pkg-config libjpeg62-turbo-dev libcurl4-openssl-dev libsqlite3-dev
  libutf8proc-dev libcli11-dev python3 python3-dev python3-pip python3-setuptools python3-wheel
  python3-venv)
test=(libgtest-dev libgmock-dev clang libclang-rt-14-dev clang-format libjpeg-turbo-progs
  python3-pyftpdlib sqlite3 dpkg-dev file)
windows=(wine wine64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools libwine-dev dpkg-dev)

packages=("${build[@]}")
need_sources=false
for set in "$@"; do
  case $set in
    test) packages+=("${test[@]}") ;;
    windows) packages+=("${windows[@]}") ;;
    *) echo "install-deps: unknown set '$set' (test, windows)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The Windows build compiles libjpeg-turbo from Debian's source package (scripts/windows-build.sh),
# unless an earlier build left it in build-windows/third_party.
sources=/etc/apt/sources.list.d/debian-src.sources
if [[ " $* " == *" windows "* ]] &&
  ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d; then
  need_sources=true
fi
[ ${#missing[@]} -eq 0 ] && [ $need_sources = false ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  [ $need_sources = true ] &&
    echo "install-deps: no deb-src entry; the first Windows build needs one (run this as root)" >&2
  [ ${#missing[@]} -eq 0 ] && exit 0
  echo "install-deps: missing packages: ${missing[*]} (run this script as root to install them)" >&2
  exit 1
fi
if [ $need_sources = true ]; then
  . /etc/os-release
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$VERSION_CODENAME" "$VERSION_CODENAME" > "$sources"
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
[ ${#missing[@]} -eq 0 ] || apt-get install -y -qq --no-install-recommends "${missing[@]}"
