#!/usr/bin/env bash
# make package: packs the release zip (see cmake/package.cmake) and shows
# where it is and its sum.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --build --preset mingw --target kalvory_package >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
zip=build/Kalvory-$version-win32.zip
echo "package: $root/$zip"
echo "sum:     $root/$zip.sha256"
cat "$zip.sha256"
