#!/usr/bin/env bash
# Installs every Debian package the station, its tools and its tests need.
# Idempotent and quick when everything is already there: it only calls apt-get
# for the packages that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-serialport-dev qt6-multimedia-dev
  libcups2-dev cups-daemon cups-client dbus-daemon dbus-bin netpbm libnetpbm-dev libjpeg62-turbo-dev libssl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libsqlite3-dev
  xvfb xauth clang libclang-rt-14-dev
  xdg-utils x11-xserver-utils
  dpkg-dev file help2man systemd cage x11-apps x11-utils xdotool man-db bash-completion
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
