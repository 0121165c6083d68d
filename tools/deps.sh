#!/usr/bin/env bash
# Installs the Debian packages the build needs (Debian 12, as root), once.
set -euo pipefail
packages=(build-essential cmake pkg-config libcairo2-dev libinih-dev libcli11-dev
          nlohmann-json3-dev libzip-dev libexpat1-dev libgtest-dev libbenchmark-dev
          fonts-dejavu-core clang-format clang libclang-rt-14-dev chromium poppler-utils
          librsvg2-bin libxml2-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
