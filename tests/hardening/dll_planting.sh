#!/usr/bin/env bash
# A DLL planted beside the program and in the current folder: the probe
# loads it by bare name unless the program's start-up restriction ran first.
# Usage: dll_planting.sh WINE_RUNNER PROBE_EXE PLANTED_DLL
set -euo pipefail
runner=$1 probe=$2 dll=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$probe" "$dir/probe.exe"
cp "$dll" "$dir/planted.dll"
marker=$dir/planted.dll.loaded
fail() { echo "dll_planting: $*" >&2; exit 1; }

# Wine's own output goes to a file: through a pipe it can hang.
run_probe() {
  local status=0
  (cd "$dir" && timeout 120 "$runner" probe.exe "$@" >"$dir/wine.log" 2>&1 </dev/null) || status=$?
  [ "$status" -ne 124 ] || fail "the probe did not end within two minutes"
  return "$status"
}

status=0; run_probe || status=$?
[ "$status" -eq 0 ] && [ -f "$marker" ] ||
  fail "without the restriction the planted DLL did not load (exit $status): the test proves nothing"
rm -f "$marker"

status=0; run_probe --restricted || status=$?
[ ! -f "$marker" ] || fail "the planted DLL ran its code despite the restriction"
[ "$status" -eq 1 ] || fail "the restricted probe ended with $status, not 1 (DLL not found)"
echo "dll_planting: loaded without the restriction, kept out with it"
