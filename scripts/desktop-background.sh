#!/usr/bin/env bash
# Paints the bare X root window like a desktop, so that a screenshot shows
# the floating digits against something.
set -euo pipefail
image=${TMPDIR:-/tmp}/kalvory-desktop.png
read -r width height < <(xdpyinfo | awk '/dimensions:/ { split($2, s, "x"); print s[1], s[2] }')
convert -size "${width}x${height}" gradient:'#5b8fc7-#dbe9f6' "$image"
# display answers 1 even when it has set the root window.
timeout 20 display -window root "$image" || true
