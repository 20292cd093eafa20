#!/usr/bin/env bash
# Runs every test under Wine: starts a virtual display when there is none,
# makes the Wine prefix when it is missing, then hands over to ctest.
set -euo pipefail
. "$(dirname "$0")/winenv.sh"
ensure_display
ensure_prefix
start_wine_services
trap stop_wine_services EXIT
hold_desktop
cd "$KALVORY_BUILD"
ctest --output-on-failure "$@"
