#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build, the tests and the window need.
# Idempotent and silent when everything is already present.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev libcli11-dev libpng-dev
  pkg-config libcairo2-dev libpango1.0-dev fonts-dejavu-core
  xvfb xauth locales nlohmann-json3-dev
  python3 python3-numpy
  pybind11-dev python3-dev python3-pytest python3-pandas python3-matplotlib
  python3-nbconvert python3-ipykernel jupyter-core jupyter-nbconvert mypy
  qt6-translations-l10n fonts-dejavu-extra fonts-liberation
  parallel libsimde-dev clang-format
  nettle-dev slurm-wlm munge iproute2
  libacl1-dev acl attr
  qpdf poppler-utils
  libgsl-dev python3-scipy
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
