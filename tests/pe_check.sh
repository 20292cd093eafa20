#!/usr/bin/env bash
# The shipped exe: PE32 for i386, a GUI program, ASLR and DEP on, and no DLL
# imported but Windows' own.
set -euo pipefail
export LC_ALL=C  # objdump speaks the locale's language
exe=$1
# Whole dumps first: grep -q on a pipe would end objdump early (SIGPIPE).
header=$(i686-w64-mingw32-objdump -f "$exe")
dump=$(i686-w64-mingw32-objdump -p "$exe")
fail() { echo "pe_check: $*" >&2; exit 1; }

grep -q 'file format pei-i386' <<<"$header" || fail "not PE32 for i386"
grep -Eq 'Subsystem[[:space:]]+00000002' <<<"$dump" || fail "not a GUI program"
grep -q 'DYNAMIC_BASE' <<<"$dump" || fail "DYNAMIC_BASE missing"
grep -q 'NX_COMPAT' <<<"$dump" || fail "NX_COMPAT missing"
system_dlls='^(kernel32|user32|gdi32|shell32|advapi32|msvcrt|comctl32|ole32)\.dll$'
while read -r dll; do
  grep -Eiq "$system_dlls" <<<"$dll" || fail "imports $dll, which is not a Windows system DLL"
done < <(awk '/DLL Name:/ { print $3 }' <<<"$dump")
echo "pe_check: $(basename "$exe") is a static PE32 GUI program with ASLR and DEP"
