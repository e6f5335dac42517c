#!/usr/bin/env bash
# Fuzzes the parsers of untrusted input with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# TARGET is statement, connection_string, header, access_file, reg_file, command_line or
# integer_text (default: all); each runs for SECONDS (default 60). Builds with clang into
# ${ORVANE_FUZZ_BUILD_DIR:-build-fuzz} (-DORVANE_FUZZ=ON, no tests) and runs every target on a
# working copy of fuzz/corpus/<target>/ kept in that folder, so inputs found on one run seed the next
# and the committed corpus stays as it is. An input that makes a target fail is saved under
# <build>/fuzz/artifacts/<target>/; once fixed, copy it into fuzz/corpus/<target>/ and
# fuzz_corpus_tests replays it in every ordinary test run.
# Exits non-zero when any target fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${ORVANE_FUZZ_BUILD_DIR:-$root/build-fuzz}
all_targets=(statement connection_string header access_file reg_file command_line integer_text)

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

# The targets' scratch files, which a run that ends abruptly leaves behind, stay in the build folder.
export TMPDIR=$build_dir/fuzz/tmp
mkdir -p "$TMPDIR"

# A figure of libFuzzer's final stats in a log: final_stat LOG NAME.
final_stat() { sed -n "s/^stat::$2: *//p" "$1"; }

failed=()
summary=()
for target in "${targets[@]}"; do
  work=$build_dir/fuzz/corpus/$target
  artifacts=$build_dir/fuzz/artifacts/$target
  log=$build_dir/fuzz/logs/$target.log
  mkdir -p "$work" "$artifacts" "${log%/*}"
  for seed in "$root/fuzz/corpus/$target"/*; do
    [ -e "$work/${seed##*/}" ] || cp "$seed" "$work/"
  done
  # AddressSanitizer's quarantine and size classes keep freed memory, so a long run grows towards
  # libFuzzer's default limit of 2 GB without any input taking much.
  options=(-max_len=8192 -rss_limit_mb=4096)
  # Database files start at three pages of 4 KiB; the seeds are a few times that. The provider
  # remembers each file version it has seen, which libFuzzer would take for a leak of every input
  # and check at great cost; the sanitizer build's tests look for leaks in that code.
  [ "$target" != access_file ] || options=(-max_len=131072 -rss_limit_mb=4096 -detect_leaks=0)
  echo "== $target: ${seconds}s on $work (log: $log)"
  if ! "$build_dir/fuzz/${target}_fuzz" "$work" -max_total_time="$seconds" "${options[@]}" -timeout=60 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    failed+=("$target")
  fi
  summary+=("$(printf '%-18s %9s runs, %6s/s, %4s new inputs, peak %s MB' "$target" \
    "$(final_stat "$log" number_of_executed_units)" "$(final_stat "$log" average_exec_per_sec)" \
    "$(final_stat "$log" new_units_added)" "$(final_stat "$log" peak_rss_mb)")")
done
printf '%s\n' "${summary[@]}"

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: failed: ${failed[*]} (inputs under $build_dir/fuzz/artifacts/)" >&2
  exit 1
fi
echo "fuzz.sh: no findings in ${targets[*]}"
