#!/bin/sh
# Installs the Debian packages the build and the tests need; only those
# missing, so a second run does nothing.
set -e
PACKAGES="cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgtest-dev \
libbenchmark-dev gammu python3-gammu clang qt6-translations-l10n"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" != "0" ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends $missing
