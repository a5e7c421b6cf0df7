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
  python3 python3-pyftpdlib
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
