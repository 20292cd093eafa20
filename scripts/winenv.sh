# Sourced by the other scripts: the Wine prefix, the virtual display and the
# long-lived Wine processes that every test run shares.
# Usage: KALVORY_BUILD=<build dir> . scripts/winenv.sh

KALVORY_ROOT=${KALVORY_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
KALVORY_BUILD=${KALVORY_BUILD:-$KALVORY_ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$KALVORY_BUILD/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer; and a crashing test ends instead of waiting
# in the debugger until the run times out.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# The program is written for Japanese Windows: code page 932 and Japanese fonts.
export LANG=ja_JP.UTF-8
unset LC_ALL
KALVORY_LOGS=$KALVORY_BUILD/logs
mkdir -p "$KALVORY_LOGS"

# wait_for DEADLINE_SECONDS COMMAND...: polls until COMMAND succeeds.
wait_for() {
  local deadline=$(( $(date +%s) + $1 )); shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# Starts Xvfb when there is no display; remembers its pid so it can be ended.
KALVORY_XVFB_PID=""
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$KALVORY_LOGS/xvfb.log" 2>&1 &
  KALVORY_XVFB_PID=$!
  export DISPLAY=":$n"
  wait_for 30 xdpyinfo || { echo "winenv: Xvfb did not start" >&2; return 1; }
}

ensure_prefix() {
  # A wineserver left by an earlier run may hold a desktop on a display that
  # is gone: end it before anything here talks to it.
  wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/.kalvory-ready" ]; then
    echo "winenv: creating the Wine prefix in $WINEPREFIX (code page 932)"
    rm -rf "$WINEPREFIX"
    wineboot -i >"$KALVORY_LOGS/wineboot.log" 2>&1 </dev/null
    wineserver -w
    touch "$WINEPREFIX/.kalvory-ready"
  fi
  match_japanese_fonts
}

# A Japanese Windows has the MS Gothic and MS Mincho faces the program asks
# for; here the IPA fonts stand in for them. Without this Wine would draw
# the Mincho face with the first Japanese font it finds, a Gothic one.
match_japanese_fonts() {
  local key='HKCU\Software\Wine\Fonts\Replacements' face
  [ -f "$WINEPREFIX/.kalvory-fonts" ] && return 0
  for face in "ＭＳ ゴシック=IPAゴシック" "MS Gothic=IPAゴシック" "ＭＳ 明朝=IPA明朝" "MS Mincho=IPA明朝"; do
    wine reg add "$key" /v "${face%%=*}" /d "${face#*=}" /f >>"$KALVORY_LOGS/reg.log" 2>&1 </dev/null
  done
  wineserver -w
  touch "$WINEPREFIX/.kalvory-fonts"
}

# A wine command whose output goes through a pipe can hang when it is the one
# that starts the wineserver or the desktop: start both here, output to files.
start_wine_services() {
  match_dpi
  match_window_management
  wineserver -p >"$KALVORY_LOGS/wineserver.log" 2>&1 </dev/null
  wine explorer.exe /desktop >"$KALVORY_LOGS/desktop.log" 2>&1 </dev/null &
  wait_for 60 desktop_is_up || { echo "winenv: Wine desktop did not start" >&2; return 1; }
}

# With no window manager on the display (a bare Xvfb), every window that Wine
# leaves to one waits two seconds for it whenever it is hidden or closed.
# Wine then places such windows itself, as it does all the others.
match_window_management() {
  local check section managed=Y
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>&1 || true)
  case "$check" in *"window id"*) ;; *) managed=N ;; esac
  section=$(grep -A3 -F '[Software\\Wine\\X11 Driver]' "$WINEPREFIX/user.reg" 2>/dev/null || true)
  grep -qx "\"Managed\"=\"$managed\"" <<<"$section" && return 0
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f \
    >"$KALVORY_LOGS/reg.log" 2>&1 </dev/null
  # That first program started a desktop process which read the old value:
  # let it end, with its wineserver, before the real desktop starts.
  timeout 60 wineserver -w || true
}

# The desktop process has X windows of its own on this display.
desktop_is_up() { xwininfo -root -tree 2>/dev/null | grep -q '"explorer.exe"'; }

# Wine ends the desktop process a few seconds after the last program with a
# window; the test keeper holds it for the whole run (see its source).
hold_desktop() {
  local keeper=$KALVORY_BUILD/tests/desktop_keeper.exe
  rm -f "$KALVORY_LOGS/desktop-keeper.ready"
  (cd "$KALVORY_LOGS" && wine "$keeper" >"$KALVORY_LOGS/desktop-keeper.log" 2>&1 </dev/null &)
  wait_for 60 test -f "$KALVORY_LOGS/desktop-keeper.ready" ||
    { echo "winenv: the desktop keeper did not start" >&2; return 1; }
}

# Wine reads the dpi (what Windows calls the scale: 144 is 150 %) when a
# process starts; those already running keep theirs.
use_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >>"$KALVORY_LOGS/reg.log" 2>&1 </dev/null
}

# The desktop and its tray take the dpi they start with: KALVORY_SCREEN_DPI,
# or 96. A run at another dpi that was killed has left its own behind.
match_dpi() {
  local want=${KALVORY_SCREEN_DPI:-96}
  awk '/^\[Control Panel\\\\Desktop\]/ { on = 1 } on && /^$/ { on = 0 } on' "$WINEPREFIX/user.reg" 2>/dev/null |
    grep -qx "\"LogPixels\"=$(printf 'dword:%08x' "$want")" && return 0
  use_dpi "$want"
  # The program that set it started a desktop at the old dpi: let both end.
  timeout 60 wineserver -w || true
}

stop_wine_services() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$KALVORY_XVFB_PID" ]; then kill "$KALVORY_XVFB_PID" 2>/dev/null || true; fi
}
