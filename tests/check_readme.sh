#!/usr/bin/env bash
# Every file and folder of this tree that the README names exists: the names in backticks that
# begin with one of the tree's folders (`core/split.cc`, `docs/`) or that name a source file
# (`platform.h`), and the targets of its links. Build outputs (`build/...`, the zip's
# `guide-ja.txt`), commands and the pieces of examples are left alone.
#   check_readme.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 1
folders=$(find . -mindepth 1 -maxdepth 1 -type d ! -name '.*' ! -name build -printf '%f\n' |
  paste -sd'|')
failures=0
check() {
  [ -e "$1" ] && return
  echo "FAIL: README.md names $1, which does not exist"
  failures=$((failures + 1))
}
# Names in backticks that are paths of the tree; a trailing slash names a folder.
while read -r name; do
  check "$name"
done < <(grep -o '`[^` ]*`' README.md | tr -d '`' | grep -E "^($folders)/" | sort -u)
# Bare source file names: somewhere in the tree.
while read -r name; do
  [ -n "$(find . -name "$name" -not -path './build/*' | head -n 1)" ] && continue
  echo "FAIL: README.md names $name, which no file of the tree is called"
  failures=$((failures + 1))
done < <(grep -o '`[^` /]*\.\(cc\|h\|sh\)`' README.md | tr -d '`' | sort -u)
# Link targets that are not web addresses, without their anchors.
while read -r link; do
  check "${link%%#*}"
done < <(grep -o '](\([^)]*\))' README.md | sed 's/^](//; s/)$//' | grep -v '^https\?:' | sort -u)
[ "$failures" = 0 ] || { echo "README checks: $failures failed"; exit 1; }
echo "README checks: every file and folder it names exists"
