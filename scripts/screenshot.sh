#!/usr/bin/env bash
# Makes the README's pictures on a fresh virtual desktop, cropped: a first
# start's note from the tray icon, the clock with its icon, then the tray
# menu opened by the right button.
# Usage: [KALVORY_SCREEN_DPI=144] screenshot.sh CLOCK.png [MENU.png [FIRST.png]]
# At another dpi the whole desktop has it (144 is 150 %), and so do the crops.
set -euo pipefail
clock_out=$(realpath -m "$1")
menu_out=${2:+$(realpath -m "$2")}
first_out=${3:+$(realpath -m "$3")}
unset DISPLAY
. "$(dirname "$0")/winenv.sh"
trap stop_wine_services EXIT
ensure_display
ensure_prefix
start_wine_services
"$(dirname "$0")/desktop-background.sh"
scale() { echo $(($1 * ${KALVORY_SCREEN_DPI:-96} / 96)); }
shot_dir=$(mktemp -d)
cp "$KALVORY_BUILD/Kalvory.exe" "$shot_dir/"
if [ -n "$first_out" ]; then
  # No settings file: the clock starts hidden and its icon says where it lives.
  (cd "$shot_dir" && wine Kalvory.exe >"$KALVORY_LOGS/screenshot.log" 2>&1 &)
  wait_for 60 test -f "$shot_dir/Kalvory.ini"
  sleep 4  # Wine's tray shows a note two seconds after it comes
  import -window root -crop "$(scale 620)x$(scale 120)+0+0" +repage "$first_out"
  echo "screenshot: $first_out"
  pkill -f 'Kalvory\.exe' && wait_for 30 sh -c '! pgrep -f "Kalvory\.exe"'
fi
printf '[Window Design]\r\nTop=900\r\nLeft=3300\r\n[Config]\r\nDisp Clock=True\r\n' >"$shot_dir/Kalvory.ini"
(cd "$shot_dir" && wine Kalvory.exe >"$KALVORY_LOGS/screenshot.log" 2>&1 &)
wait_for 60 xdotool search --onlyvisible --name '^Kalvory$'
sleep 1
import -window root -crop "$(scale 620)x$(scale 200)+0+0" +repage "$clock_out"
echo "screenshot: $clock_out"
[ -n "$menu_out" ] || exit 0

# The clock's icon is the first in Wine's own tray window, below its title.
eval "$(xdotool search --name '^Wine System Tray$' getwindowgeometry --shell)"
icon_x=$(scale 10)
icon_y=$((HEIGHT - $(scale 10)))
xdotool mousemove "$icon_x" "$icon_y" mousedown 3 sleep 0.3 mouseup 3
sleep 1
# Point at "表示位置" so that its submenu opens beside the menu.
xdotool key Down Down Right
sleep 1
import -window root -crop "$(scale 620)x$(scale 260)+0+0" +repage "$menu_out"
xdotool key Escape Escape
echo "screenshot: $menu_out"
