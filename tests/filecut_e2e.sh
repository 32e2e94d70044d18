#!/usr/bin/env bash
# The shipped filecut.exe end to end: started under Wine in an empty folder, driven from another
# process (size 1 KB, a 2500-byte source, Enter), closed, and its pieces checked on disk, with
# their checksum list as sha256sum reads it.
#   filecut_e2e.sh WINE_RUN LANE filecut.exe window_driver.exe
set -euo pipefail
wine_run=$1
lane=$2
exe=$3
driver=$4
work=$(mktemp -d)
# The program goes with the test, also when the test fails or is stopped before it closes.
program=""
trap '[ -z "$program" ] || kill -KILL "$program" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
head -c 2500 /dev/urandom > source.bin

"$wine_run" "$lane" "$exe" &
program=$!
driver_status=0
"$wine_run" "$lane" "$driver" split 1 "Z:${work//\//\\}\\source.bin" || driver_status=$?
# A driver that failed may have left the window open: then the program is ended, not awaited.
[ "$driver_status" = 0 ] || kill -KILL "$program" 2>/dev/null || true
program_status=0
wait "$program" || program_status=$?
program=""

fail() { echo "FAIL: $*"; exit 1; }
[ "$driver_status" = 0 ] || fail "driver exited with $driver_status"
[ "$program_status" = 0 ] || fail "filecut.exe exited with $program_status, not 0"
# No piece at all must reach the message below: grep finds nothing and fails, which would end
# an assignment from $(...) under set -e before it prints.
mapfile -t pieces < <(ls | grep -E '^[0-9]+-[0-9]{2,}$' | sort -t- -k2 -n || true)
[ "${#pieces[@]}" = 3 ] || fail "expected 3 pieces, found: ${pieces[*]:-none}"
sizes="$(stat -c %s "${pieces[@]}" | tr '\n' ' ')"
[ "$sizes" = "1024 1024 452 " ] || fail "piece sizes $sizes"
cat "${pieces[@]}" | cmp -s - source.bin || fail "the pieces do not join to the source"
list=${pieces[0]%-00}.sha256
[ -f "$list" ] || fail "no checksum list $list"
expected="; filecut name=\"source.bin\" size=2500 piece=1024 count=3"
[ "$(head -n 1 "$list")" = "$expected" ] || fail "the list's first line: $(head -n 1 "$list")"
sha256sum -c "$list" >checked 2>&1 || fail "sha256sum -c $list: $(cat checked)"
[ "$(grep -c ': OK$' checked)" = 3 ] || fail "sha256sum -c $list: $(cat checked)"
echo "filecut.exe split source.bin into ${pieces[*]} with $list, which sha256sum -c accepts," \
  "and exited with 0"
