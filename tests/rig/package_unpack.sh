#!/usr/bin/env bash
# The release zip as a user gets it: it matches its .sha256, unpacks into a
# fresh folder to exactly the tested exe and a README that Notepad reads.
# Usage: package_unpack.sh ZIP EXE FOLDER
set -euo pipefail
zip=$1 exe=$2 folder=$3 readme=$3/README.txt
fail() { echo "package_unpack: $*" >&2; exit 1; }
(cd "$(dirname "$zip")" && sha256sum --quiet -c "$(basename "$zip").sha256") || fail "the zip does not match its .sha256"
rm -rf "$folder" && mkdir -p "$folder" && unzip -q "$zip" -d "$folder"
[ "$(cd "$folder" && find . -mindepth 1 | sort | tr '\n' ' ')" = "./Kalvory.exe ./README.txt " ] || fail "unexpected contents"
cmp -s "$folder/Kalvory.exe" "$exe" || fail "the packed exe is not the one built"
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README.txt has no UTF-8 BOM"
! grep -q $'[^\r]$\|^$' "$readme" || fail "README.txt has a line not ended by CRLF"
iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null || fail "README.txt is not UTF-8"
! grep -q '@VERSION@' "$readme" || fail "README.txt still has its version placeholder"
