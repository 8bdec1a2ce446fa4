#!/usr/bin/env bash
# Installs the Debian packages Sweepling builds and tests with. Idempotent and
# quick when everything is there; does nothing when not run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6
  dbus
  libplist-dev libplist++-dev libplist-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils fonts-dejavu-core xvfb xauth libxcb1-dev
  cups cups-client printer-driver-cups-pdf libcups2-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them as root: apt-get install ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
