#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any more a script names as its
# arguments (the packaging tools), only when some are missing.
set -euo pipefail

packages=(build-essential cmake pkg-config
  libsfml-dev libglew-dev libjsoncpp-dev libfreetype-dev libimgui-dev libsdl2-dev
  libenet-dev libgtest-dev libgmock-dev libbenchmark-dev libx11-dev
  xvfb xauth libgl1-mesa-dri fonts-dejavu-core xdotool "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
