#!/usr/bin/env bash
# Makes the README's picture: the clock on a fresh virtual desktop, cropped.
# Usage: screenshot.sh OUTPUT.png
set -euo pipefail
out=$(realpath -m "$1")
unset DISPLAY
. "$(dirname "$0")/winenv.sh"
ensure_display
ensure_prefix
start_wine_services
trap stop_wine_services EXIT
"$(dirname "$0")/desktop-background.sh"
shot_dir=$(mktemp -d)
cp "$KALVORY_BUILD/Kalvory.exe" "$shot_dir/"
printf '[Window Design]\r\nTop=900\r\nLeft=900\r\n[Config]\r\nDisp Clock=True\r\n' >"$shot_dir/Kalvory.ini"
(cd "$shot_dir" && wine Kalvory.exe >"$KALVORY_LOGS/screenshot.log" 2>&1 &)
wait_for 60 xdotool search --onlyvisible --name '^Kalvory$'
sleep 1
import -window root -crop 520x200+0+0 +repage "$out"
echo "screenshot: $out"
