#!/usr/bin/env bash
# Configures and builds into ${ORVANE_BUILD_DIR:-build}. Sourced by ./run and ./test.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${ORVANE_BUILD_DIR:-$root/build}
build_type=${ORVANE_BUILD_TYPE:-RelWithDebInfo}

cmake -S "$root" -B "$build_dir" -G Ninja \
  -DCMAKE_BUILD_TYPE="$build_type" \
  -DORVANE_WERROR="${ORVANE_WERROR:-OFF}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
