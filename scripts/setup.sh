#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test Orvane.
# Idempotent: packages already present are left alone, and a second run does nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libglib2.0-dev mdbtools mdbtools-dev
  libgtest-dev libgmock-dev
  xvfb xauth x11-apps x11-utils xdotool imagemagick
  fonts-wqy-microhei fonts-dejavu-core
  clang llvm libclang-rt-dev valgrind time
)
# Node.js runs the independent reader used by the interoperability tests. Some machines carry a
# Node.js build that bundles npm and conflicts with Debian's npm package: install only what is absent.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
