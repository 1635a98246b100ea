#!/usr/bin/env bash
# Installs the Debian packages Quillon needs to build, test and run; quick when
# they are all there already.
set -euo pipefail
packages=(
  cmake make g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev
  xvfb xauth fonts-arphic-uming python3
  libxml2-utils
  libexiv2-dev libhowardhinnant-date-dev
  libcurl4-openssl-dev libsqlite3-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; else SUDO=; fi
  # A mirror in the middle of a sync fails one index now and then; apt goes
  # on with the others, and the install below says if that mattered.
  $SUDO apt-get update -q || echo "warning: apt-get update reported errors (see above)"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
