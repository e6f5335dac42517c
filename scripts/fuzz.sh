#!/usr/bin/env bash
# Fuzzes the parsers of untrusted input with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# TARGET is statement, connection_string or header (default: all three); each runs for SECONDS
# (default 60). Builds with clang into ${ORVANE_FUZZ_BUILD_DIR:-build-fuzz} (-DORVANE_FUZZ=ON, no
# tests) and runs every target on a working copy of fuzz/corpus/<target>/ kept in that folder, so
# inputs found on one run seed the next and the committed corpus stays as it is. An input that makes
# a target fail is saved under <build>/fuzz/artifacts/<target>/; once fixed, copy it into
# fuzz/corpus/<target>/ and fuzz_corpus_tests replays it in every ordinary test run.
# Exits non-zero when any target fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${ORVANE_FUZZ_BUILD_DIR:-$root/build-fuzz}
all_targets=(statement connection_string header)

seconds=60
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
for target in "${targets[@]}"; do
  if [[ ! " ${all_targets[*]} " =~ " $target " ]]; then
    echo "fuzz.sh: unknown target '$target' (known: ${all_targets[*]})" >&2
    exit 2
  fi
done

CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANE_FUZZ=ON -DORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" --target "${targets[@]/%/_fuzz}"

failed=()
for target in "${targets[@]}"; do
  work=$build_dir/fuzz/corpus/$target
  artifacts=$build_dir/fuzz/artifacts/$target
  mkdir -p "$work" "$artifacts"
  for seed in "$root/fuzz/corpus/$target"/*; do
    [ -e "$work/${seed##*/}" ] || cp "$seed" "$work/"
  done
  echo "== $target: ${seconds}s on $work"
  if ! "$build_dir/fuzz/${target}_fuzz" "$work" -max_total_time="$seconds" -max_len=8192 \
    -artifact_prefix="$artifacts/" -print_final_stats=1; then
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: failed: ${failed[*]} (inputs under $build_dir/fuzz/artifacts/)" >&2
  exit 1
fi
echo "fuzz.sh: no findings in ${targets[*]}"
