#!/usr/bin/env bash
# The shipped exe: PE32 for i386, a GUI program, ASLR, DEP, no SEH handlers,
# terminal-server aware, the stack protector compiled in, and no DLL imported
# but Windows' own.
# Usage: pe_check.sh EXE
set -euo pipefail
export LC_ALL=C  # objdump speaks the locale's language
fail() { echo "pe_check: $*" >&2; exit 1; }
# Whole dumps first: grep -q on a pipe would end objdump early (SIGPIPE).
dump=$(i686-w64-mingw32-objdump -p "$1")
code=$(i686-w64-mingw32-objdump -d "$1")
for wanted in 'file format pei-i386' 'Subsystem.*00000002' DYNAMIC_BASE NX_COMPAT NO_SEH TERMINAL_SERVICE_AWARE; do
  grep -q "$wanted" <<<"$dump" || fail "$wanted missing"
done
# A guarded function compares its canary with the one guard word before it returns: the most used such compare.
guards=$(grep -oE 'sub +0x[0-9a-f]+,%e[a-d]x' <<<"$code" | sort | uniq -c | sort -rn | awk 'NR == 1 { print $1 }')
[ "${guards:-0}" -ge 20 ] || fail "no stack protector in the code"
! awk '/DLL Name:/ { print $3 }' <<<"$dump" | grep -Eiv '^(kernel32|user32|gdi32|shell32|advapi32|msvcrt)\.dll$' ||
  fail "imports a DLL that is not a Windows system DLL"
