#!/usr/bin/env bash
# The program's start-up under valgrind's memcheck, from start to its window shown and the end: no
# invalid read or write, no use of uninitialised memory, and no block definitely lost. Suppressions
# cover third-party libraries only. Usage: MemcheckStartupTest.sh BIN_DIR SUPPRESSIONS (under xvfb-run).
set -uo pipefail
bin=$1
suppressions=$2
command -v valgrind >/dev/null || { echo "FAIL: valgrind is not installed (scripts/setup.sh installs it)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/app"
cp "$bin/orvane" "$bin/languages.mdb" "$work/app/"
export XDG_CACHE_HOME=$work/cache ORVANE_MACHINE_REG=$bin/machine.reg ORVANE_USER_REG=$work/no-user.reg
export ORVANE_EXIT_WHEN_SHOWN=$work/shown ORVANE_STARTUP_LOG=$work/log

# The provider checks a new database version in a child started from /proc/self/exe, which under
# valgrind is valgrind itself, so the check would fail and the window stay untranslated. A first
# start without valgrind remembers the version as sound, as any second start of the program does.
"$work/app/orvane" || { echo "FAIL: the program does not start without valgrind"; exit 1; }
grep -q "languages.mdb" "$work/cache/orvane/sound-databases" 2>/dev/null ||
  { echo "FAIL: the database was not found sound"; exit 1; }

# Children forked without exec (libdbus looking for a session bus) are copies of this process, not
# programs of their own: their reports would repeat the parent's.
valgrind --tool=memcheck --error-exitcode=99 --child-silent-after-fork=yes --leak-check=full --show-leak-kinds=definite \
  --errors-for-leak-kinds=definite --num-callers=40 --suppressions="$suppressions" \
  --log-file="$work/memcheck.log" "$work/app/orvane"
status=$?
grep -E 'ERROR SUMMARY|definitely lost:' "$work/memcheck.log"
if [ "$status" != 0 ] || [ "$(grep -c . "$work/shown")" != 2 ] || [ "$(grep -c '^FormShow$' "$work/log")" != 2 ]; then
  echo "FAIL: memcheck found errors or the program did not show its window (status $status)"
  cat "$work/memcheck.log"
  exit 1
fi
echo "ok: start-up clean under memcheck"
