#!/usr/bin/env bash
# Installs everything Tintweave needs to build, test and run on Debian 12.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  build-essential cmake pkg-config
  qtbase5-dev libqglviewer-dev-qt5
  libglew-dev libgl-dev libglu1-mesa-dev libx11-dev zlib1g-dev
  libegl-dev libegl-mesa0
  xvfb xauth libgl1-mesa-dri mesa-utils
  libgtest-dev libbenchmark-dev libeigen3-dev
  libopencv-core-dev libopencv-imgproc-dev
  libcgal-dev libgmp-dev libmpfr-dev libqpdf-dev qt5-image-formats-plugins
  poppler-utils mupdf-tools
  clang clang-format
  desktop-file-utils appstream man-db lintian dpkg-dev
)

$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}"
