#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Pelt.
set -euo pipefail

packages=(cmake g++ make pkg-config googletest libgtest-dev libbenchmark-dev
          qt6-base-dev qt6-multimedia-dev libgl-dev libzip-dev libpng-dev clang imagemagick xvfb xauth xdotool)
# The package build and its checks: validators of the desktop files, MIME tools.
packages+=(dpkg-dev file groff-base desktop-file-utils appstream libxml2-utils shared-mime-info xdg-utils
           libfile-mimeinfo-perl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
