#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: apt runs only
# when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git clang-format
  qt6-base-dev qt6-multimedia-dev libqt6opengl6-dev
  libgl-dev
  libespeak-ng-dev espeak-ng espeak-ng-data
  libsonic-dev
  libgumbo-dev
  lame
  fonts-liberation
  googletest libgtest-dev zlib1g-dev
  pulseaudio pulseaudio-utils mpg123 sox ffmpeg
  python3
  clang libclang-rt-14-dev
  xvfb xauth
  libtag1-dev
  dbus dbus-bin playerctl
  file dpkg-dev lintian appstream desktop-file-utils man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
