#!/usr/bin/env bash
# Static checks of the shipped 32-bit program, which run even where the machine cannot execute
# it:
#   check_product.sh OBJDUMP WINDRES product_imports.txt filecut.exe libconv.a libcore.a
# 1. filecut.exe is a PE32 GUI program for i386, large-address-aware, whose header asks for no
#    subsystem or system version later than Windows XP's 5.1 (XP refuses to start it otherwise).
# 2. It imports exactly the functions of product_imports.txt, and none of those needs a Windows
#    later than XP SP3 by its documentation.
# 3. Its resources hold the application manifest as resource 1 of type 24, asking for asInvoker
#    (no UAC file virtualization) and declaring per-monitor DPI awareness in both forms, each
#    element with its one namespace as XP reads it, and a version resource.
# 4. The compiled code of the conversions and the engines does no x87 arithmetic: every real
#    operation is an SSE2 double operation, rounded to double. x87 instructions may appear only
#    as the exact loads and stores that convert between 64-bit integers and doubles (i686 has
#    no SSE2 instruction for those), with the control-word moves that set truncation.
set -euo pipefail
objdump=$1
windres=$2
list=$3
exe=$4
shift 4
name=$(basename "$exe")
listname=$(basename "$list")
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

headers=$("$objdump" -p "$exe")
grep -q 'file format pei-i386' <<<"$headers" || fail "$name is not an i386 PE image"
grep -Eq 'Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$headers" || fail "$name is not PE32"
grep -Eq 'Subsystem[[:space:]]+00000002' <<<"$headers" || fail "$name is not a GUI program"
grep -q 'large address aware' <<<"$headers" || fail "$name is not large-address-aware"
# "Major...Version 5" and "Minor...Version 1" as one number 501, for each pair of fields.
versions=""
for field in OSystem Subsystem; do
  major=$(awk -v f="Major${field}Version" '$1 == f {print $2}' <<<"$headers")
  minor=$(awk -v f="Minor${field}Version" '$1 == f {print $2}' <<<"$headers")
  label=${field/OSystem/OS}
  if [ -z "$major" ] || [ -z "$minor" ]; then
    fail "$name: no $label version in its header"
    continue
  fi
  versions+="${versions:+, }$label version $major.$(printf '%02d' "$minor")"
  [ $((major * 100 + minor)) -le 501 ] ||
    fail "$name asks for $label version $major.$minor; Windows XP starts nothing above 5.1"
done

# Imports, as "DLL function" lines. Windows compares DLL names without regard to case.
imports=$(awk '/DLL Name:/ {dll = $3; next} /^$/ {dll = ""}
                dll && /^\t[0-9a-f]+\t/ {print dll, $NF}' <<<"$headers")
[ -n "$imports" ] || fail "$name imports nothing at all"
listed=""  # "DLL function" as the list spells them
keys=""    # the same with the DLL name in lower case, for comparing
while read -r dll function minimum why; do
  case $dll in '' | '#'*) continue ;; esac
  if [ -z "$why" ]; then
    fail "$listname: '$dll $function $minimum' lacks its minimum or its reason"
    continue
  fi
  if [ "${dll,,}" = msvcrt.dll ]; then
    [ "$minimum" = - ] || fail "$listname: msvcrt.dll $function: '-' expected, not '$minimum'"
  else
    case $minimum in
      2000 | XP | XP-SP1 | XP-SP2 | XP-SP3) ;;
      *) fail "$listname: $dll $function needs Windows $minimum, later than XP SP3" ;;
    esac
  fi
  listed+="$dll $function"$'\n'
  keys+="${dll,,} $function"$'\n'
done <"$list"
import_keys=$(while read -r dll function; do echo "${dll,,} $function"; done <<<"$imports")
while read -r dll function; do
  grep -qxF "${dll,,} $function" <<<"$keys" ||
    fail "$name imports $dll $function, which $listname does not list"
done <<<"$imports"
while read -r dll function; do
  [ -n "$dll" ] || continue
  grep -qxF "${dll,,} $function" <<<"$import_keys" ||
    fail "$listname lists $dll $function, which $name does not import"
done <<<"$listed"

# Resources, as windres writes them back as resource script. The manifest's text comes out as
# quoted lines with doubled quotes; it is joined back into plain text.
resources=$("$windres" -i "$exe" -O rc 2>&1) || true
manifest=$(awk '/^1 24([ \t]|$)/ {inside = 1; next} inside && /^END/ {exit} inside' \
  <<<"$resources" | sed -E 's/^[[:space:]]*"//; s/"[[:space:]]*$//; s/""/"/g; s/\\n$//')
if [ -z "$manifest" ]; then
  fail "$name has no manifest as resource 1 of type 24 (RT_MANIFEST)"
else
  grep -q '<requestedExecutionLevel level="asInvoker" uiAccess="false"' <<<"$manifest" ||
    fail "the manifest does not ask for level=\"asInvoker\" uiAccess=\"false\""
  grep -q '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' <<<"$manifest" ||
    fail "the manifest does not declare dpiAware true/pm (Windows 8.1 and earlier)"
  grep -q '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' <<<"$manifest" ||
    fail "the manifest does not declare dpiAwareness PerMonitorV2, PerMonitor (Windows 10 and later)"
  grep -q '<application xmlns="urn:schemas-microsoft-com:asm.v3">' <<<"$manifest" ||
    fail "the DPI settings are not in an application element of the asm.v3 namespace"
fi
version=$(awk '/^1 VERSIONINFO/ {inside = 1} inside' <<<"$resources")
if [ -z "$version" ]; then
  fail "$name has no version resource"
else
  grep -q 'VALUE "ProductName", "filecut"' <<<"$version" ||
    fail "the version resource does not name the product filecut"
  grep -Eq 'FILEVERSION [0-9]+, [0-9]+, [0-9]+, [0-9]+' <<<"$version" &&
    ! grep -q 'FILEVERSION 0, 0, 0, 0' <<<"$version" ||
    fail "the version resource has no file version"
fi

# x87 mnemonics all begin with "f" in objdump's AT&T syntax, and no SSE one does.
allowed_x87='^(fild[sl]?l?|fistp?[sl]?l?|fisttp[sl]?l?|fldl|fstpl|fnstcw|fldcw)$'
x87=$("$objdump" -d --no-show-raw-insn "$@" | awk '$1 ~ /^[0-9a-f]+:$/ && $2 ~ /^f/ {print $2}' |
  sort | uniq -c)
while read -r count mnemonic; do
  [ -n "$mnemonic" ] || continue
  grep -Eq "$allowed_x87" <<<"$mnemonic" ||
    fail "$count x87 instruction(s) '$mnemonic' in $(basename -a "$@" | tr '\n' ' ')"
done <<<"$x87"

if [ "$failures" -gt 0 ]; then
  echo "product checks: $failures failed"
  exit 1
fi
dlls=$(awk '{print $1}' <<<"$imports" | sort -u | paste -sd, | sed 's/,/, /g')
echo "product checks: $name is PE32 i386 GUI, large-address-aware, $versions"
echo "product checks: imports the $(wc -l <<<"$imports") functions of $listname from $dlls"
echo "product checks: manifest asks for asInvoker and per-monitor DPI awareness; version resource present"
echo "product checks: no x87 arithmetic in $(basename -a "$@" | tr '\n' ' ')($(awk '{s+=$1} END {print s+0}' <<<"$x87") x87 conversion loads and stores)"
