#!/usr/bin/env bash
# What ./run, ./test and bench/run call on their way out, scripts/stop, ends a private display
# and the wine servers of a lane's prefixes with exit status 0, and so does a second call with
# nothing left to stop. Among the prefixes is one whose server has already ended, as after a
# run whose program closed. (The tmpfs folders are left alone: the tests of this lane use them.)
#   stop_test.sh SOURCE_DIR
set -uo pipefail
src=$1
work=$(mktemp -d)
export FILECUT_WINEPREFIX=$work/wineprefix
source "$src/scripts/wine-env"
wine_env win64
server=${WINESERVER:-wineserver}
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
alive() {
  local state
  state=$(sed -E 's/^.*\) (.).*/\1/' "/proc/$1/stat" 2>/dev/null) && [ "$state" != Z ]
}
# A wine server works in a folder named after its prefix's device and inode.
server_pid() {
  local id link
  id=$(printf 'server-%s-%x' "$(stat -c %D "$1")" "$(stat -c %i "$1")")
  for link in /proc/[0-9]*/cwd; do
    [[ $(readlink "$link" 2>/dev/null) == */"$id" ]] && { link=${link#/proc/}; echo "${link%/cwd}"; }
  done
}

command -v Xvfb >/dev/null && command -v "$server" >/dev/null ||
  { echo "FAIL: Xvfb and the wine server are needed (scripts/setup installs them)"; exit 1; }
display=$("$src/scripts/xvfb") || { echo "FAIL: no private display started"; exit 1; }
pids=$(pgrep -x -f "Xvfb $display( .*)?")
mkdir -p "$FILECUT_WINEPREFIX" "$FILECUT_WINEPREFIX-dpi144" "$FILECUT_WINEPREFIX-nosubst"
for prefix in "$FILECUT_WINEPREFIX" "$FILECUT_WINEPREFIX-dpi144"; do
  WINEPREFIX=$prefix "$server" -p
  pids+=" $(server_pid "$prefix")"
done
trap 'kill -KILL $pids 2>/dev/null; rm -rf "$work"' EXIT
[ "$(wc -w <<<"$pids")" = 3 ] || fail "expected an Xvfb and two wine servers, found pids $pids"

for round in first second; do
  "$src/scripts/stop" --display "$display" win64 || fail "the $round stop exited with $?"
  for pid in $pids; do
    alive "$pid" && fail "after the $round stop, $(cat "/proc/$pid/comm") (pid $pid) still runs"
  done
done
[ "$failures" = 0 ] && echo "passed: both stops exited 0 and left nothing running"
[ "$failures" = 0 ]
