#!/usr/bin/env bash
# Starts the built program in a real X display (Xvfb) the way a user would, and checks what they see:
# the translated title, the warning when no database engine is installed, the untranslated window
# when the database is missing. Usage: StartupTest.sh BIN_DIR (run under xvfb-run).
set -uo pipefail
bin=$1
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

export ORVANE_USER_REG=$work/user.reg # absent: an empty hive
: >"$work/empty.reg"

# A copy of the program alone in a folder: that folder is its application folder.
install_to() {
  mkdir -p "$1"
  cp "$bin/orvane" "$1/"
}

# Window ids whose title matches the pattern exactly, waiting up to 20 s for the first.
wait_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

width_of() { xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }

# 1. Database and provider present: the title is the database's caption of frmMain.
install_to "$work/a"
cp "$bin/languages.mdb" "$work/a/"
caption=$("$bin/orvane-langdb" query "$work/a/languages.mdb" \
  "select ENGLISH_US from FormStrings where FormName='frmMain' and ControlName='frmMain' and PropertyName='Caption'" |
  sed -n 's/^  \["\(.*\)"\]$/\1/p')
ORVANE_MACHINE_REG=$bin/machine.reg "$work/a/orvane" &
pids+=($!)
wid=$(wait_window "^${caption}\$")
if [ -n "$caption" ] && [ -n "$wid" ]; then pass "title is the database caption '$caption'"; else fail "no window titled '$caption'"; fi
[ -n "$wid" ] && [ "$(width_of "$wid")" = 443 ] && pass "client area 443 wide" || fail "main window not 443 wide"
kill "${pids[-1]}" 2>/dev/null

# 2. No provider registered and no database: the warning, then the window shows once, exit status 0.
install_to "$work/b"
ORVANE_MACHINE_REG=$work/empty.reg ORVANE_STARTUP_LOG=$work/b.log "$work/b/orvane" &
pid=$!
pids+=($pid)
box=$(wait_window '^Orvane$')
if [ -n "$box" ]; then
  pass "warning box titled 'Orvane'"
  grep -q '^warning Please Install AccessDatabaseEngine\.$' "$work/b.log" && pass "warning text" || fail "warning text not logged"
  xdotool windowactivate --sync "$box" key --clearmodifiers Return 2>/dev/null || xdotool key Return
else
  fail "no warning box"
fi
status=124
for _ in $(seq 1 100); do
  if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; status=$?; break; fi
  sleep 0.1
done
[ "$status" = 0 ] && pass "program ended with status 0 after OK" || fail "program did not end with status 0 (status $status)"
grep -q '^FormShow$' "$work/b.log" && pass "window shown once before the end" || fail "FormShow did not run"

# 3. Database missing, Jet class key present: the design-time caption, no message.
install_to "$work/c"
ORVANE_MACHINE_REG=$bin/machine.reg ORVANE_STARTUP_LOG=$work/c.log "$work/c/orvane" &
pids+=($!)
wid=$(wait_window '^Orvane$')
if [ -n "$wid" ] && [ "$(width_of "$wid")" = 443 ]; then pass "untranslated main window"; else fail "no untranslated main window"; fi
sleep 0.5
grep -q '^warning' "$work/c.log" && fail "a message was shown" || pass "no message"
kill "${pids[-1]}" 2>/dev/null

# 4. A header picture that is not a JPEG: the standard error box, then the window goes on.
install_to "$work/d"
cp "$bin/languages.mdb" "$work/d/"
mkdir -p "$work/d/Pictures/Software Pictures"
echo "not a picture" >"$work/d/Pictures/Software Pictures/QV_About.jpg"
ORVANE_MACHINE_REG=$bin/machine.reg ORVANE_STARTUP_LOG=$work/d.log "$work/d/orvane" &
pid=$!
pids+=($pid)
box=$(wait_window '^Orvane$')
if [ -n "$box" ] && grep -q '^error ' "$work/d.log"; then
  pass "error box for an unreadable header picture"
  xdotool windowactivate --sync "$box" key --clearmodifiers Return 2>/dev/null || xdotool key Return
  sleep 0.5
  kill -0 "$pid" 2>/dev/null && [ -n "$(wait_window "^${caption}\$")" ] && pass "the window goes on" || fail "the program did not go on"
else
  fail "no error box for an unreadable header picture"
fi
kill "$pid" 2>/dev/null

[ "$failures" = 0 ] && echo "all end-to-end checks passed"
exit "$failures"
