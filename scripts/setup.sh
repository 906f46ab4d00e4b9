#!/usr/bin/env bash
# Installs what building, running and testing the suite needs, from Debian packages only.
# Idempotent and non-interactive: packages already present are skipped.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6opengl6-dev
  qt6-tools-dev qt6-tools-dev-tools designer-qt6
  libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev libdxflib-dev
  libproj-dev proj-data libeigen3-dev
  fonts-noto-cjk fonts-wqy-zenhei qt6-translations-l10n
  xvfb xauth x11-utils imagemagick poppler-utils
  qt6-qpa-plugins libgl1-mesa-dri
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO=sudo; else
    echo "需要 root 权限安装: ${missing[*]}" >&2
    echo "Root is needed to install: ${missing[*]}" >&2
    exit 1
  fi
else
  SUDO=
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
