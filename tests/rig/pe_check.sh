#!/usr/bin/env bash
# The shipped exe: PE32 for i386, a GUI program, ASLR, DEP, no SEH handlers,
# terminal-server aware, the stack protector linked, no section both writable
# and executable or shared, and no DLL imported but Windows' own.
# Usage: pe_check.sh EXE [FOLDER]; with a folder, copies of the exe that each
# lack one of these are made there, and every one must be refused.
set -euo pipefail
export LC_ALL=C  # objdump speaks the locale's language
fail() { echo "pe_check: $*" >&2; exit 1; }
# Whole dumps first: grep -q on a pipe would end objdump early (SIGPIPE).
header=$(i686-w64-mingw32-objdump -f "$1") dump=$(i686-w64-mingw32-objdump -p "$1")
grep -q 'file format pei-i386' <<<"$header" || fail "not PE32 for i386"
grep -Eq 'Subsystem[[:space:]]+00000002' <<<"$dump" || fail "not a GUI program"
for flag in DYNAMIC_BASE NX_COMPAT NO_SEH TERMINAL_SERVICE_AWARE; do
  grep -qw "$flag" <<<"$dump" || fail "$flag missing"
done
# Guarded functions compare their canary with one guard word before they return, and call libssp's report.
guards=$(i686-w64-mingw32-objdump -d "$1" | grep -oE 'sub +0x[0-9a-f]+,%e[a-d]x' | sort | uniq -c | sort -rn | awk 'NR == 1 { print $1 }')
[ "${guards:-0}" -ge 20 ] && grep -qa 'stack smashing detected' "$1" || fail "no stack protector"
# Read from the section table itself: objdump's flags do not say "executable".
python3 - "$1" <<'PY' || fail "a section is writable and executable, or writable and shared"
import struct, sys
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
table = pe + 24 + struct.unpack_from("<H", data, pe + 20)[0]
for entry in range(table, table + 40 * struct.unpack_from("<H", data, pe + 6)[0], 40):
    flags = struct.unpack_from("<I", data, entry + 36)[0]
    if flags & 0x80000000 and flags & 0x30000000:  # IMAGE_SCN_MEM_WRITE with _EXECUTE or _SHARED
        sys.exit(1)
PY
! awk '/DLL Name:/ { print $3 }' <<<"$dump" | grep -Eiv '^(kernel32|user32|gdi32|shell32|advapi32|msvcrt|comctl32|ole32)\.dll$' ||
  fail "imports a DLL that is not a Windows system DLL"
[ $# -lt 2 ] && exit 0
rm -rf "$2" && mkdir -p "$2"
python3 - "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
opt = struct.unpack_from("<I", data, 0x3C)[0] + 24  # the optional header; the section table follows it
code = opt + struct.unpack_from("<H", data, opt - 4)[0] + 36  # the first section's flags
for name, at, width, clear, add in (("aslr", opt + 70, "<H", 0x40, 0), ("dep", opt + 70, "<H", 0x100, 0),
                                    ("seh", opt + 70, "<H", 0x400, 0), ("tsaware", opt + 70, "<H", 0x8000, 0),
                                    ("console", opt + 68, "<H", 2, 3), ("writable-code", code, "<I", 0, 0x80000000)):
    out = bytearray(data)
    struct.pack_into(width, out, at, struct.unpack_from(width, out, at)[0] & ~clear | add)
    open(f"{sys.argv[2]}/{name}.exe", "wb").write(out)
for name, old, new in (("no-stack-guard", b"stack smashing", b"stack-smashing"), ("foreign-dll", b"USER32", b"USERXX")):
    open(f"{sys.argv[2]}/{name}.exe", "wb").write(data.replace(old, new))
PY
for copy in "$2"/*.exe; do
  ! bash "$0" "$copy" >/dev/null 2>&1 || fail "$copy passed"
done
