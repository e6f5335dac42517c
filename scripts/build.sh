#!/usr/bin/env bash
# Configures and builds into ${ORVANE_BUILD_DIR:-build}. Sourced by ./run and ./test.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${ORVANE_BUILD_DIR:-$root/build}
build_type=${ORVANE_BUILD_TYPE:-RelWithDebInfo}

options=(-DCMAKE_BUILD_TYPE="$build_type")
# Only when asked, so that ./run after a CI-style ./test does not reconfigure and rebuild.
[ -z "${ORVANE_WERROR:-}" ] || options+=(-DORVANE_WERROR="$ORVANE_WERROR")
cmake -S "$root" -B "$build_dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
