#!/usr/bin/env bash
# The shipped exe: PE32 for i386, a GUI program, ASLR and DEP on, no section
# both writable and executable, and no DLL imported but Windows' own.
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
# Read from the section table itself: objdump's flags do not say "executable".
wx_sections=$(python3 - "$exe" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
count = struct.unpack_from("<H", data, pe + 6)[0]
table = pe + 24 + struct.unpack_from("<H", data, pe + 20)[0]
for entry in range(table, table + 40 * count, 40):
    flags = struct.unpack_from("<I", data, entry + 36)[0]
    if flags & 0x20000000 and flags & 0x80000000:  # IMAGE_SCN_MEM_EXECUTE, IMAGE_SCN_MEM_WRITE
        print(data[entry:entry + 8].rstrip(b"\0").decode("latin-1"))
EOF
)
[ -z "$wx_sections" ] || fail "writable and executable: $wx_sections"
system_dlls='^(kernel32|user32|gdi32|shell32|advapi32|msvcrt|comctl32|ole32)\.dll$'
while read -r dll; do
  grep -Eiq "$system_dlls" <<<"$dll" || fail "imports $dll, which is not a Windows system DLL"
done < <(awk '/DLL Name:/ { print $3 }' <<<"$dump")
echo "pe_check: $(basename "$exe") is a static PE32 GUI program with ASLR, DEP and no W+X section"
