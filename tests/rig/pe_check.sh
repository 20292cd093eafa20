#!/usr/bin/env bash
# The shipped exe: PE32 for i386, a GUI program, ASLR and DEP on, no section
# both writable and executable, and no DLL imported but Windows' own.
set -euo pipefail
export LC_ALL=C  # objdump speaks the locale's language
fail() { echo "pe_check: $*" >&2; exit 1; }
# Whole dumps first: grep -q on a pipe would end objdump early (SIGPIPE).
header=$(i686-w64-mingw32-objdump -f "$1") dump=$(i686-w64-mingw32-objdump -p "$1")
grep -q 'file format pei-i386' <<<"$header" || fail "not PE32 for i386"
grep -Eq 'Subsystem[[:space:]]+00000002' <<<"$dump" || fail "not a GUI program"
grep -q 'DYNAMIC_BASE' <<<"$dump" || fail "DYNAMIC_BASE missing"
grep -q 'NX_COMPAT' <<<"$dump" || fail "NX_COMPAT missing"
# Read from the section table itself: objdump's flags do not say "executable".
python3 - "$1" <<'EOF' || fail "a section is writable and executable"
import struct, sys
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
table = pe + 24 + struct.unpack_from("<H", data, pe + 20)[0]
for entry in range(table, table + 40 * struct.unpack_from("<H", data, pe + 6)[0], 40):
    flags = struct.unpack_from("<I", data, entry + 36)[0]
    if flags & 0x20000000 and flags & 0x80000000:  # IMAGE_SCN_MEM_EXECUTE, IMAGE_SCN_MEM_WRITE
        sys.exit(1)
EOF
! awk '/DLL Name:/ { print $3 }' <<<"$dump" | grep -Eiv '^(kernel32|user32|gdi32|shell32|advapi32|msvcrt|comctl32|ole32)\.dll$' ||
  fail "imports a DLL that is not a Windows system DLL"
