#!/usr/bin/env bash
# Runs every test under Wine: starts a virtual display when there is none,
# makes the Wine prefix when it is missing, then hands over to ctest.
set -euo pipefail
. "$(dirname "$0")/winenv.sh"
# Armed before anything starts: a start that fails half-way still ends the
# display and the wineserver it started.
trap stop_wine_services EXIT
ensure_display
ensure_prefix
start_wine_services
hold_desktop
cd "$KALVORY_BUILD"
# Two at a time: only the long in-process runs share the machine; every
# other test is marked to run alone.
ctest --output-on-failure -j 2 "$@"
