#!/usr/bin/env bash
# Unpacks the release zip into a fresh folder, as a user would, once it
# matches its .sha256; then checks that exactly the built exe and a README
# that Notepad reads came out.
# Usage: package_unpack.sh ZIP EXE FOLDER
set -euo pipefail
zip=$1 exe=$2 folder=$3
fail() { echo "package_unpack: $*" >&2; exit 1; }

(cd "$(dirname "$zip")" && sha256sum --quiet -c "$(basename "$zip").sha256") ||
  fail "$(basename "$zip") does not match its .sha256"
rm -rf "$folder"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"

contents=$(cd "$folder" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$contents" = "./Kalvory.exe ./README.txt " ] || fail "unexpected contents: $contents"
cmp -s "$folder/Kalvory.exe" "$exe" || fail "the packed exe is not the one built"

readme=$folder/README.txt
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README.txt does not start with a UTF-8 BOM"
! grep -q $'[^\r]$\|^$' "$readme" || fail "README.txt has a line not ended by CRLF"
iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null || fail "README.txt is not UTF-8"
! grep -q '@VERSION@' "$readme" || fail "README.txt still has its version placeholder"
echo "package_unpack: $(basename "$zip") unpacked into $folder"
