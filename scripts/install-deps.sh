#!/usr/bin/env bash
# Installs the Debian packages that Voziroz needs to build and test. Idempotent: installs only
# what is missing. Run as root (apt-get); nothing is downloaded from anywhere but Debian.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev clang-format
  libjpeg62-turbo-dev libjpeg-turbo-progs
  libcurl4-openssl-dev
  libsqlite3-dev
  python3 python3-pyftpdlib python3-dev python3-pip python3-setuptools python3-wheel python3-venv
  wine wine64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools libwine-dev dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The Windows build compiles libjpeg-turbo from Debian's source package (scripts/windows-build.sh).
sources=/etc/apt/sources.list.d/debian-src.sources
need_sources=false
grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d || need_sources=true
[ ${#missing[@]} -eq 0 ] && [ $need_sources = false ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}) or a deb-src entry; run this script as root" >&2
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
