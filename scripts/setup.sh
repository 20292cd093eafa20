#!/usr/bin/env bash
# Installs what the build and the tests need. Safe to run again: it only
# touches what is missing.
set -euo pipefail

PACKAGES=(g++-mingw-w64-i686 mingw-w64-tools wine wine32:i386 xvfb xdotool
          x11-utils imagemagick fonts-ipafont-gothic fonts-ipafont-mincho
          locales googletest cmake make xauth python3 unzip cppcheck clang-format clang)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "setup: generating ja_JP.UTF-8"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null \
    || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
