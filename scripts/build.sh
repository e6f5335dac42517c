#!/usr/bin/env bash
# Configures and builds into ${ORVANE_BUILD_DIR:-build}. Sourced by ./run and ./test.
#
#   scripts/build.sh [--sanitize]
#
# --sanitize builds the same tree with AddressSanitizer and UndefinedBehaviorSanitizer into
# ${ORVANE_SANITIZE_BUILD_DIR:-build-asan}; its tests use the npm reader of the normal build.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${ORVANE_BUILD_DIR:-$root/build}
build_type=${ORVANE_BUILD_TYPE:-RelWithDebInfo}

options=(-DCMAKE_BUILD_TYPE="$build_type")
if [ "${1:-}" = --sanitize ]; then
  options+=(-DORVANE_SANITIZE=ON -DORVANE_NPM_DIR="$build_dir/npm")
  build_dir=${ORVANE_SANITIZE_BUILD_DIR:-$root/build-asan}
fi
# Only when asked, so that ./run after a CI-style ./test does not reconfigure and rebuild.
[ -z "${ORVANE_WERROR:-}" ] || options+=(-DORVANE_WERROR="$ORVANE_WERROR")
cmake -S "$root" -B "$build_dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
