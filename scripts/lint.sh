#!/usr/bin/env bash
# Static checks of the sources; fails on any finding.
#   cppcheck: the Win32 build's configuration, Windows and GoogleTest aware.
#   clang-format: every C++ file matches .clang-format at the repository root.
#   clang -Wcomma: one action per statement, as the Windows build sees it.
set -uo pipefail
cd "$(dirname "$0")/.."

# Globbed, not listed: new folders and files are checked as they come.
dirs=()
for d in src tests bench; do [ -d "$d" ] && dirs+=("$d"); done
mapfile -d '' files < <(find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

failed=0

# Cppcheck sees the program as the cross compiler does: a 32-bit Windows
# build with wide-character calls. It knows no system headers; its Windows
# and GoogleTest libraries stand in for them. Its advice to swap a plain
# loop for an algorithm is a matter of taste, not a finding.
mkdir -p build/cppcheck
cppcheck --quiet --error-exitcode=1 --inline-suppr -j 2 \
  --enable=warning,style,performance,portability --std=c++17 --language=c++ \
  --platform=win32W --library=windows --library=googletest \
  -D_WIN32 -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
  --suppress=missingIncludeSystem --suppress=useStlAlgorithm --cppcheck-build-dir=build/cppcheck \
  -Isrc -Itests "${dirs[@]}" || failed=1

clang-format --dry-run --Werror "${files[@]}" || failed=1

# Each source with the headers it includes; clang reads the cross compiler's
# C++ library and mingw-w64's Windows headers.
gcc_include=$(dirname "$(i686-w64-mingw32-g++-posix -print-libgcc-file-name)")/include
printf '%s\0' "${files[@]}" | grep -z '\.cpp$' |
  xargs -0 -n 1 -P 2 clang++ --target=i686-w64-mingw32 -fsyntax-only -std=c++17 -Wcomma -Werror=comma -ferror-limit=0 \
    -nostdinc++ -isystem "$gcc_include/c++" -isystem "$gcc_include/c++/i686-w64-mingw32" \
    -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 \
    -Isrc -Itests -I/usr/src/googletest/googletest/include || failed=1

if [ "$failed" -ne 0 ]; then
  echo "lint: findings above (clang-format -i FILE fixes the layout)" >&2
  exit 1
fi
echo "lint: cppcheck, clang-format and clang -Wcomma clean (${#files[@]} files)"
