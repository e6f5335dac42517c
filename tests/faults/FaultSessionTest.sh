#!/usr/bin/env bash
# Whole sessions of the built program under bad input: registry files that are malformed, huge or
# behind a broken byte-order mark, and a language database that is damaged, unreadable or on a
# read-only file system. In each: no crash, the window a user gets in that case (translated, or
# untranslated without a message), an exit status of 0 after the user closes it, and nothing written:
# the database and registry files keep their bytes and modification times, no file appears or goes.
# Usage: FaultSessionTest.sh BIN_DIR (run under xvfb-run).
set -uo pipefail
bin=$1
here=$(cd "$(dirname "$0")" && pwd)

# Inside a private mount namespace (see the read-only case): mount, run that one case, leave.
if [ "${2:-}" = --read-only-mount ]; then
  work=$3
  source "$here/fault-session.sh"
  mount -t tmpfs -o size=512m tmpfs "$work/ro" || exit 1
  install_to "$work/ro"
  mount -o remount,ro "$work/ro" || exit 1
  if touch "$work/ro/probe" 2>/dev/null; then fail "the mount is writable"; fi
  run ro-mount "$work/ro" "$caption" ORVANE_MACHINE_REG="$bin/machine.reg"
  exit "$failures"
fi

work=$(mktemp -d)
immutable=()
cleanup() {
  for f in "${immutable[@]}"; do chattr -i "$f" 2>/dev/null; done
  chmod -R u+rwX "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
source "$here/fault-session.sh"

cp "$bin/machine.reg" "$work/machine.reg"
utf16() { iconv -f UTF-8 -t UTF-16LE "$1"; }

# The sound files first: what the other sessions are measured against.
install_to "$work/sound"
run sound "$work/sound" "$caption" ORVANE_MACHINE_REG="$work/machine.reg"
# Timed and measured without AddressSanitizer's quarantine, whose freed blocks would count as the
# program's memory in a sanitizer build.
measured=(ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=0")
run sound-timed "$work/sound" "" ORVANE_MACHINE_REG="$work/machine.reg" "${measured[@]}"
base_ms=$last_ms base_rss=$last_rss

# Registry files: the provider is then found by trying the well-known names, so the window is
# translated all the same.
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CLASSES_ROOT\\CLSID\\{dee35070-506b-11cf-b1aa-00aa00b8de95}\r\n@="Microsoft.Jet.OLEDB.4.0\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Varnholt\\Varnholt 2000]\r\n"LanguageID"=hex(1):31,\\\r\n'
  printf '"LanguageID"=dword:123456789\r\n\0\0\0[\r\n"'
  head -c 5000000 /dev/zero | tr '\0' 'x'
  printf '\r\n\377\376\r\n[-HKEY_CLASSES_ROOT]\r\n'
} >"$work/malformed.reg"
LC_ALL=C awk 'BEGIN { srand(1); for (i = 0; i < 200000; ++i) printf "%c", int(rand() * 256) }' >"$work/noise.reg"
install_to "$work/malformed"
run malformed-registry "$work/malformed" "$caption" ORVANE_MACHINE_REG="$work/malformed.reg" \
  ORVANE_USER_REG="$work/noise.reg"

{ printf '\377'; utf16 "$work/machine.reg"; } >"$work/half-mark.reg"
{ printf '\376\377'; utf16 "$work/machine.reg"; } >"$work/wrong-mark.reg"
install_to "$work/marks"
run half-byte-order-mark "$work/marks" "$caption" ORVANE_MACHINE_REG="$work/half-mark.reg"
run wrong-byte-order-mark "$work/marks" "$caption" ORVANE_MACHINE_REG="$work/wrong-mark.reg"

# About 50 MB of UTF-16 in each hive, the provider's class key at the very end of the machine's.
huge_hive() {
  printf '\377\376'
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    ROOT=$1 awk 'BEGIN { root = ENVIRON["ROOT"]; for (i = 0; i < 260000; ++i)
      printf "[%s\\Bulk\\Key%d]\r\n\"Name\"=\"Some text for key %d\"\r\n@=dword:%08x\r\n\r\n", root, i, i, i }'
    [ -z "${2:-}" ] || tail -n +2 "$2" | sed 's/$/\r/'
  } | iconv -f UTF-8 -t UTF-16LE
}
huge_hive 'HKEY_LOCAL_MACHINE\SOFTWARE' "$work/machine.reg" >"$work/huge.reg"
huge_hive 'HKEY_CURRENT_USER\Software' >"$work/huge-user.reg"
size=$(stat -c %s "$work/huge.reg")
[ "$size" -ge 50000000 ] || fail "the huge registry file has only $size bytes"
install_to "$work/huge"
run huge-registry "$work/huge" "$caption" ORVANE_MACHINE_REG="$work/huge.reg" ORVANE_USER_REG="$work/huge-user.reg"
run huge-registry-timed "$work/huge" "" ORVANE_MACHINE_REG="$work/huge.reg" ORVANE_USER_REG="$work/huge-user.reg" \
  "${measured[@]}"
echo "huge registry ($((size / 1000000)) MB each hive): window shown after ${last_ms} ms (sound files: ${base_ms} ms);" \
  "peak memory $((last_rss / 1024)) MiB (sound files: $((base_rss / 1024)) MiB)"
[ $((last_rss - base_rss)) -lt 65536 ] && pass "huge registry read in bounded memory" ||
  fail "huge registry took $(((last_rss - base_rss) / 1024)) MiB more memory"
[ "$last_ms" -lt 30000 ] && pass "huge registry read in bounded time" || fail "huge registry took ${last_ms} ms"

# Damaged databases: the window stays untranslated and no message is shown.
install_to "$work/cut"
head -c 20000 "$bin/languages.mdb" >"$work/cut/languages.mdb"
run database-cut-short "$work/cut" Orvane ORVANE_MACHINE_REG="$work/machine.reg"
install_to "$work/text"
echo "not a database" >"$work/text/languages.mdb"
run database-not-access "$work/text" Orvane ORVANE_MACHINE_REG="$work/machine.reg"
if [ "$(id -u)" = 0 ]; then
  echo "skipped: unreadable database (running as root: file permissions do not keep root from reading)"
else
  install_to "$work/unreadable"
  chmod 000 "$work/unreadable/languages.mdb"
  run database-unreadable "$work/unreadable" Orvane ORVANE_MACHINE_REG="$work/machine.reg"
fi

# A database on a read-only file system: a read-only tmpfs in a mount namespace of its own where
# that is allowed, else a read-only folder with the file made immutable, as close as it gets.
mkdir -p "$work/ro"
if [ "$(id -u)" = 0 ] && unshare --mount --propagation private true 2>/dev/null; then
  unshare --mount --propagation private "$0" "$bin" --read-only-mount "$work"
  failures=$((failures + $?))
else
  echo "note: no permission to mount; simulating a read-only file system with a read-only folder"
  install_to "$work/ro"
  chmod 0444 "$work/ro/languages.mdb"
  if chattr +i "$work/ro/languages.mdb" 2>/dev/null; then
    immutable+=("$work/ro/languages.mdb")
    echo "note: the database is also immutable (chattr +i)"
  fi
  chmod 0555 "$work/ro"
  run read-only-folder "$work/ro" "$caption" ORVANE_MACHINE_REG="$work/machine.reg"
fi

[ "$failures" = 0 ] && echo "all fault sessions passed"
exit "$failures"
