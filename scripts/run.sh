#!/usr/bin/env bash
# Starts the clock under Wine from build/run. With a display it runs until the
# clock is quit; without one it starts a virtual display, waits for the face,
# leaves a screenshot of the desktop in the build tree and stops.
set -euo pipefail
. "$(dirname "$0")/winenv.sh"
headless=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then headless=1; fi
trap stop_wine_services EXIT
ensure_display
ensure_prefix
start_wine_services

run_dir=$KALVORY_BUILD/run
mkdir -p "$run_dir"
cp "$KALVORY_BUILD/Kalvory.exe" "$run_dir/"
# A first start keeps the clock hidden until the tray icon shows it; the
# development copy starts with the clock shown.
[ -f "$run_dir/Kalvory.ini" ] || printf '[Config]\r\nDisp Clock=True\r\n' >"$run_dir/Kalvory.ini"

if [ "$headless" -eq 0 ]; then
  cd "$run_dir" && wine Kalvory.exe >"$KALVORY_LOGS/run.log" 2>&1
  exit 0
fi

"$(dirname "$0")/desktop-background.sh"
(cd "$run_dir" && wine Kalvory.exe >"$KALVORY_LOGS/run.log" 2>&1 &)
wait_for 60 xdotool search --onlyvisible --name '^Kalvory$' || { echo "run: the clock did not appear" >&2; exit 1; }
sleep 1  # let the first face reach the screen
import -window root "$KALVORY_BUILD/screenshot.png"
echo "run: no display here; the desktop with the clock is in $KALVORY_BUILD/screenshot.png"
