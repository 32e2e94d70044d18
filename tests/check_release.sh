#!/usr/bin/env bash
# Static checks of the zip that Windows users download (cmake/release.cmake):
#   check_release.sh zip OBJDUMP PRODUCT_EXE VERSION
#     The zip holds filecut.exe with the same bytes as the shipped program, the guide in
#     Japanese (UTF-16LE with its byte order mark, CRLF, stating VERSION), LICENSE.txt and
#     README.md; its .sha256 file holds its sum. The program has no debug information, no time
#     stamp in its header or resources, and no folder of the build in its bytes.
#   check_release.sh twice SOURCE_DIR CMAKE CPACK PRODUCT_DIR ZIP_NAME
#     Reproducibility: two clones of the source's commit in two folders of different names,
#     each configured and built from nothing as the win32 preset builds the product, give the
#     same filecut.exe and zip, byte for byte; where the source has no uncommitted change, also
#     the same as the product built in PRODUCT_DIR.
set -euo pipefail
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "$1" = zip ]; then
  objdump=$2 exe=$3 version=$4
  zip=$(dirname "$exe")/filecut-$version-win32.zip
  [ -f "$zip" ] || { echo "FAIL: no $(basename "$zip") beside $exe"; exit 1; }
  name=$(basename "$zip")
  read -r sum listed <"$zip.sha256" || fail "$name.sha256 is missing or empty"
  [ "${listed:-}" = "$name" ] || fail "$name.sha256 names '${listed:-}', not $name"
  [ "${sum:-}" = "$(sha256sum "$zip" | cut -d' ' -f1)" ] || fail "$name.sha256 is not its sum"
  (cd "$work" && cmake -E tar xf "$zip")
  entries=$(cd "$work" && find . -type f | sed 's|^\./||' | sort | paste -sd' ')
  [ "$entries" = "LICENSE.txt README.md filecut.exe guide-ja.txt" ] ||
    fail "$name holds '$entries', not filecut.exe, guide-ja.txt, LICENSE.txt and README.md"
  cmp -s "$work/filecut.exe" "$exe" || fail "the filecut.exe in $name is not the product's"
  guide=$work/guide-ja.txt
  if [ -f "$guide" ]; then
    [ "$(head -c 2 "$guide" | od -An -tx1 | tr -d ' ')" = fffe ] ||
      fail "guide-ja.txt does not start with the UTF-16LE byte order mark"
    text=$(iconv -f UTF-16LE -t UTF-8 "$guide") || fail "guide-ja.txt is not UTF-16LE"
    grep -q "^filecut $version" <<<"${text#$'\xef\xbb\xbf'}" ||
      fail "guide-ja.txt does not begin with 'filecut $version'"
    grep -q '分割' <<<"$text" && grep -q '復元' <<<"$text" || fail "guide-ja.txt is not the guide"
    [ "$(grep -c $'\r$' <<<"$text")" = "$(wc -l <<<"$text")" ] ||
      fail "guide-ja.txt has lines without CRLF"
  fi
  for text in LICENSE.txt README.md; do
    [ -f "$work/$text" ] || continue
    ! grep -qv $'\r$' "$work/$text" || fail "$text has lines without CRLF"
  done
  grep -q '^MIT License' "$work/LICENSE.txt" 2>/dev/null || fail "LICENSE.txt is not the licence"
  sections=$("$objdump" -h "$exe")
  ! grep -q '\.debug' <<<"$sections" || fail "$(basename "$exe") carries debug information"
  stamps=$("$objdump" -p "$exe" | grep -E 'Time/Date|Time: ' || true)
  grep -q 'Time/Date.*1970' <<<"$stamps" || fail "the header of $(basename "$exe") has a time stamp"
  ! grep -Eq 'Time: 0*[1-9a-f]' <<<"$stamps" || fail "the resources carry a time stamp"
  for dir in "$(cd "$(dirname "$0")/.." && pwd)" "$(cd "$(dirname "$exe")" && pwd)"; do
    ! grep -aqF "$dir" "$exe" || fail "$(basename "$exe") holds the build's folder $dir"
  done
  [ "$failures" = 0 ] || { echo "release checks: $failures failed"; exit 1; }
  echo "release checks: $name ($(stat -c %s "$zip") bytes) holds $entries;" \
    "filecut.exe is the product ($(stat -c %s "$exe") bytes), without debug information," \
    "time stamps or build folders"
  exit 0
fi

[ "$1" = twice ] || { echo "usage: check_release.sh zip|twice ..." >&2; exit 2; }
source=$2 cmake=$3 cpack=$4 product=$5 zip_name=$6
# A clone of the commit, or where the source is no git checkout, a copy without build/.
fetch() {
  mkdir -p "$(dirname "$2")"
  if git -C "$1" rev-parse --git-dir >/dev/null 2>&1; then
    git clone -q --no-hardlinks "$1" "$2"
  else
    mkdir -p "$2"
    tar -C "$1" --exclude=./build -cf - . | tar -C "$2" -xf -
  fi
}
build() {
  "$cmake" -S "$1" -B "$1/build" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-i686-product.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DFILECUT_WERROR=ON -DFILECUT_RELEASE=ON \
    >"$1.log" 2>&1 &&
    "$cmake" --build "$1/build" -j2 >>"$1.log" 2>&1 &&
    (cd "$1/build" && TZ=UTC "$cpack" -G ZIP --config CPackConfig.cmake >>"$1.log" 2>&1) ||
    { echo "FAIL: building in $1:"; tail -n 20 "$1.log"; exit 1; }
}
one=$work/one/filecut
two=$work/a-second-and-longer-folder/src
fetch "$source" "$one"
fetch "$source" "$two"
build "$one"
build "$two"
for file in filecut.exe "$zip_name"; do
  cmp -s "$one/build/$file" "$two/build/$file" || fail "two builds of one commit differ in $file"
done
compared="two clean builds"
if git -C "$source" rev-parse --git-dir >/dev/null 2>&1 &&
  [ -z "$(git -C "$source" status --porcelain --untracked-files=no)" ]; then
  for file in filecut.exe "$zip_name"; do
    cmp -s "$one/build/$file" "$product/$file" ||
      fail "$file of $product differs from a clean build of its commit"
  done
  compared="two clean builds and $product"
else
  echo "release checks: the source has uncommitted changes; its commit was built twice"
fi
[ "$failures" = 0 ] || { echo "release checks: $failures failed"; exit 1; }
echo "release checks: $compared give the same filecut.exe and $zip_name" \
  "(sha256 $(sha256sum "$one/build/$zip_name" | cut -c1-16)...)"
