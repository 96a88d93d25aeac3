#!/usr/bin/env bash
# Installs the Debian 12 packages Ambrolux needs to build, run and test,
# touching apt only when something is missing.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config ccache libgtest-dev libbenchmark-dev
          qt6-base-dev qt6-svg-dev libqcustomplot-dev fontconfig fonts-liberation2
          fonts-dejavu-core xvfb xauth poppler-utils clang libclang-rt-14-dev
          libcli11-dev nlohmann-json3-dev libzip-dev libexpat1-dev libxlsxwriter-dev python3-openpyxl
          desktop-file-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
