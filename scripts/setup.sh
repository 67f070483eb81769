#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need; installs nothing
# when all are present. Run as root (or with sudo available).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config       # build
  qt6-base-dev                           # windows, dialogs, painting, settings file
  libturbojpeg0-dev                      # JPEG decoding
  libgtest-dev libgmock-dev              # tests
  clang libclang-rt-14-dev               # fuzz targets (libFuzzer)
  fonts-dejavu-core                      # the sans-serif font the view draws its texts with
  dpkg-dev file lintian                  # the Debian package: its dependencies, its check
  desktop-file-utils appstream           # validators of the desktop entry and the AppStream metadata
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
