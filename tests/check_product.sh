#!/usr/bin/env bash
# Static checks of the 32-bit product, which run even where the machine cannot execute it:
#   check_product.sh OBJDUMP filecut.exe libconv.a libcore.a
# 1. filecut.exe is a PE32 GUI program for i386, large-address-aware, and imports only
#    Windows' own DLLs.
# 2. The compiled code of the conversions and the engines does no x87 arithmetic: every real
#    operation is an SSE2 double operation, rounded to double. x87 instructions may appear only
#    as the exact loads and stores that convert between 64-bit integers and doubles (i686 has
#    no SSE2 instruction for those), with the control-word moves that set truncation.
set -euo pipefail
objdump=$1
exe=$2
shift 2
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

headers=$("$objdump" -p "$exe")
grep -q 'file format pei-i386' <<<"$headers" || fail "$exe is not an i386 PE image"
grep -Eq 'Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$headers" || fail "$exe is not PE32"
grep -Eq 'Subsystem[[:space:]]+00000002' <<<"$headers" || fail "$exe is not a GUI program"
grep -q 'large address aware' <<<"$headers" || fail "$exe is not large-address-aware"
allowed_dlls='^(KERNEL32|USER32|GDI32|SHELL32|msvcrt)\.dll$'
dlls=$(awk '/DLL Name:/ {print $3}' <<<"$headers")
[ -n "$dlls" ] || fail "$exe imports no DLL at all"
for dll in $dlls; do
  grep -Eiq "$allowed_dlls" <<<"$dll" || fail "$exe imports $dll, which is not a Windows DLL"
done

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
echo "product checks: $(basename "$exe") is PE32 i386 GUI, large-address-aware, imports $(echo $dlls)"
echo "product checks: no x87 arithmetic in $(basename -a "$@" | tr '\n' ' ')($(awk '{s+=$1} END {print s+0}' <<<"$x87") x87 conversion loads and stores)"
