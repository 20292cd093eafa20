#!/usr/bin/env bash
# Measures the clock under Wine and prints one table, also left in
# build/bench/bench.md: the face's rebuild against the bare platform calls,
# what the running clock costs, its start-up against a program making the
# same platform calls bare (and a minimal window program, for reference),
# and the size of the exe. Every figure is a median of repeated
# runs, and each ratio compares two sides measured by turns in one run.
# KALVORY_BENCH_STARTS and KALVORY_BENCH_SECONDS shorten a trial run.
set -euo pipefail
. "$(dirname "$0")/winenv.sh"

starts=${KALVORY_BENCH_STARTS:-15}
running_seconds=${KALVORY_BENCH_SECONDS:-60}
out=$KALVORY_BUILD/bench
exe=$KALVORY_BUILD/Kalvory.exe
for file in "$exe" "$out/bench_rebuild.exe" "$out/bench_launcher.exe" "$out/minimal_window.exe" \
  "$out/startup_floor.exe"; do
  [ -f "$file" ] || { echo "bench: $file is missing; run make build" >&2; exit 1; }
done

# The display goes with the script, however it ends.
trap stop_wine_services EXIT
ensure_display
ensure_prefix
start_wine_services
hold_desktop

cd "$out"
rm -f rebuild.txt launcher.txt bench.md
echo "bench: the face rebuild, in process"
wine bench_rebuild.exe rebuild.txt >rebuild.log 2>&1 </dev/null ||
  { echo "bench: bench_rebuild failed; see $out/rebuild.log" >&2; exit 1; }
echo "bench: start-up ($starts starts each) and running cost ($running_seconds s)"
wine bench_launcher.exe '..\Kalvory.exe' minimal_window.exe startup_floor.exe launcher.txt "$starts" "$running_seconds" \
  >launcher.log 2>&1 </dev/null || { echo "bench: bench_launcher failed; see $out/launcher.log" >&2; exit 1; }

wine --version >wine-version.txt 2>&1 </dev/null || true
cpu_model=$(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
cpu_count=$(grep -c '^processor' /proc/cpuinfo)
os_name=$( . /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-Linux}" || echo Linux)
machine="$cpu_model × $cpu_count, $os_name (Linux $(uname -r)), $(head -n1 wine-version.txt), $(date -u '+%Y-%m-%d %H:%M UTC')"
exe_bytes=$(stat -c %s "$exe")

# One table, rows in a fixed order whatever order the programs wrote them in.
cat rebuild.txt launcher.txt | awk -v machine="$machine" -v exe_bytes="$exe_bytes" '
function grouped(n,    s, sign) {
  sign = n < 0 ? "-" : ""; s = sprintf("%d", n < 0 ? -n : n)
  while (s ~ /[0-9][0-9][0-9][0-9]/) sub(/[0-9][0-9][0-9]($|,)/, ",&", s)
  return sign s
}
function bytes(n) { return grouped(n) (n == 1 ? " byte" : " bytes") }
function signed(n) { return (n > 0 ? "+" : "") grouped(n) }
function row(key, measure, figure, goal, result) {
  rows[key] = sprintf("| %s | %s | %s | %s |", measure, figure, goal, result)
}
# The programs write Windows text files.
{ sub(/\r$/, "") }
$2 == "failed" { row($1, $1, "failed", "-", "see the logs in build/bench"); next }
$1 == "rebuild" || $1 == "watch" {
  rounds = $6; batch = $7
  ratio = $4 / $5; limit = 1.10
  result = ratio <= limit ? "met" : sprintf("%.2f × over (%.1f µs a rebuild)", ratio - limit, $4 - limit * $5)
  row("rebuild" (++rebuilds), sprintf($1 == "watch" ? "Clock tick, %d pt %s, full-screen watch on" : "Face rebuild, %d pt %s", $2, $3),
      sprintf("%.1f µs, floor %.1f µs: %.2f ×", $4, $5, ratio), "at most 1.10 × the floor", result)
}
$1 == "cpu" {
  cpu_source = $3
  row("cpu", "Running cost, clock shown, full-screen watch on", sprintf("%.2f %% of one core over %d s (%s)", $2, $4, $3),
      "none set", "-")
}
$1 == "private" {
  growth = $4 - $2; bare = $7 - $5
  row("private", "Private bytes, in process",
      sprintf("%s after load, %s after 10,000 rebuilds: %s, of it %s after the first 1,000; heap blocks in use %s",
      grouped($2), grouped($4), signed(growth), signed($4 - $3), $9 == $8 ? "unchanged" : signed($9 - $8)),
      "no growth", growth <= 0 ? "met" : sprintf("grew %s bytes; the bare calls alone grew %s (%s after their first 1,000)",
      grouped(growth), grouped(bare), signed($7 - $6)))
}
$1 == "startup" {
  ratio = $2 / $5; limit = 1.10
  result = ratio <= limit ? "met" : sprintf("%.2f × over (%.0f ms)", ratio - limit, $2 - limit * $5)
  row("startup", "Start-up to the first face",
      sprintf("%.0f ms, fair floor %.0f ms: %.2f × (medians of %d)", $2, $5, ratio, $4),
      "at most 1.10 × the fair floor", result)
  row("startup-minimal", "Start-up, beside a minimal window",
      sprintf("%.0f ms, minimal window %.0f ms: %.2f × (same runs)", $2, $3, $2 / $3), "for reference", "-")
}
END {
  row("size", "Size of Kalvory.exe", grouped(exe_bytes) " bytes", "under 409,600 bytes (400 KiB)",
      exe_bytes < 409600 ? "met" : bytes(exe_bytes - 409599) " too many")
  print "# Kalvory benchmarks"; print ""
  print "Machine: " machine; print ""
  print "| Measure | Figure | Goal | Result |"; print "|---|---|---|---|"
  for (i = 1; i <= rebuilds; ++i) print rows["rebuild" i]
  n = split("cpu private startup startup-minimal size", order, " ")
  for (i = 1; i <= n; ++i) if (order[i] in rows) print rows[order[i]]
  print ""
  if (rebuilds) printf "- Floor: the same platform calls written directly on Win32, on a window of the same styles,\n" \
    "  taken by turns with the clock in batches of %d rebuilds; medians of %d batches.\n", batch, rounds
  print "- Clock tick with the full-screen watch on: the face rebuild and the look at the window in front"
  print "  (an ordinary window, so every question is asked), against the same calls bare."
  if (cpu_source == "GetThreadTimes")
    print "- Running cost: the sum of the times of the live threads of the clock; for another process Wine\n" \
      "  leaves nearly all of the time out of GetProcessTimes."
  print "- Neither the wineserver nor the X server is counted in the running cost; both serve the clock too."
  print "- Private bytes: Wine fills in only PagefileUsage, which Windows documents as the same commit charge;"
  print "  under Wine it includes the memory of the Unix libraries below the Windows API. Heap blocks in use:"
  print "  the busy blocks of every heap of the process (HeapWalk), which is where the program itself allocates."
  print "- Start-up: from CreateProcess to the face on screen (visible and cut to its text), the clock, the fair"
  print "  floor and the minimal window started by turns. The fair floor (bench/startup_floor.cpp) makes the"
  print "  calls the clock cannot start without, bare and in the clock'"'"'s order: the DLL search, the single-instance"
  print "  mutex, the nine profile reads, the window with its menu, icons, font and tray owner, the first face"
  print "  (extent, path, region), the tray icon and topmost."
}' >bench.md
cat bench.md
