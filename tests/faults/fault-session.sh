# Sourced by FaultSessionTest.sh: one session of the program and the checks made on it. Needs $bin
# (the build's bin folder) and $work (a scratch folder).
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Sound database versions are remembered here, not in the user's cache.
export XDG_CACHE_HOME=$work/cache
export ORVANE_USER_REG=$work/no-user.reg
# Sanitizer builds start slower.
patience=${ORVANE_FAULT_PATIENCE:-60}

caption=$("$bin/orvane-langdb" query "$bin/languages.mdb" \
  "select ENGLISH_US from FormStrings where FormName='frmMain' and ControlName='frmMain' and PropertyName='Caption'" |
  sed -n 's/^  \["\(.*\)"\]$/\1/p')
[ -n "$caption" ] || fail "no caption of frmMain in the sample database"

# The program alone in a folder with the sample database: that folder is its application folder.
install_to() {
  mkdir -p "$1"
  cp "$bin/orvane" "$bin/languages.mdb" "$1/"
}

# What a session must not change: every file of the application folder and the registry files
# named in the environment, by content, size and modification time, and the folder's entries.
fingerprint() {
  local app=$1 f
  shift
  ls -A "$app"
  for f in "$app"/* "$@"; do
    [ -f "$f" ] || continue
    printf '%s %s\n' "$({ sha256sum <"$f"; } 2>/dev/null | cut -c1-64)" "$(stat -c '%n %s %y' "$f")"
  done
}

# run NAME APP TITLE [VAR=VALUE...]: one session of APP/orvane with that environment. With a TITLE it
# waits for the window of that title and presses Enter on it, as a user closes it with its default
# button; with an empty one the program ends by itself once its window is shown, and last_ms is the
# time from start to shown. last_rss is the peak memory in KiB.
run() {
  local name=$1 app=$2 title=$3
  shift 3
  local files=() v
  for v in "$@"; do [[ $v == ORVANE_*_REG=* ]] && files+=("${v#*=}"); done
  local before log=$work/$name.log shown=$work/$name.shown
  before=$(fingerprint "$app" "${files[@]}")
  local extra=()
  [ -n "$title" ] || extra=(ORVANE_EXIT_WHEN_SHOWN="$shown")
  local start
  start=$(date +%s%6N)
  env "$@" "${extra[@]}" ORVANE_STARTUP_LOG="$log" /usr/bin/time -f %M -o "$work/$name.rss" \
    "$app/orvane" 2>"$work/$name.stderr" &
  local pid=$!
  if [ -n "$title" ]; then
    local wid
    wid=$(timeout "$patience" xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)
    if [ -n "$wid" ]; then
      xdotool windowactivate --sync "$wid" key --clearmodifiers Return 2>/dev/null || xdotool key Return
    else
      fail "$name: no window titled '$title'"
    fi
  fi
  local status=timeout i
  for ((i = 0; i < patience * 10; ++i)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      break
    fi
    sleep 0.1
  done
  if [ "$status" = timeout ]; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  last_rss=$(tail -n 1 "$work/$name.rss" 2>/dev/null)
  last_ms=
  [ -z "$title" ] && [ -s "$shown" ] && last_ms=$((($(head -n 1 "$shown") - start) / 1000))

  local problems=()
  [ "$status" = 0 ] || problems+=("exit status $status")
  grep -q '^FormShow$' "$log" 2>/dev/null || problems+=("window never shown")
  grep -Eq '^(warning|error) ' "$log" 2>/dev/null && problems+=("a message: $(grep -E '^(warning|error) ' "$log" | head -n 1)")
  local after
  after=$(fingerprint "$app" "${files[@]}")
  [ "$after" = "$before" ] || problems+=("files changed: $(diff <(echo "$before") <(echo "$after") | grep '^[<>]' | tr '\n' ' ')")
  if [ ${#problems[@]} = 0 ]; then
    pass "$name"
  else
    fail "$name: $(IFS=';'; echo "${problems[*]}")"
    # A sanitizer's report from its start, else the end of what the program said.
    if grep -q -E '^==[0-9]+==ERROR|runtime error' "$work/$name.stderr"; then
      grep -m 1 -A 60 -E '^==[0-9]+==ERROR|runtime error' "$work/$name.stderr"
    else
      tail -n 20 "$work/$name.stderr"
    fi
  fi
}
