#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, and generates the
# de_DE.UTF-8 locale; does nothing and says nothing when all is there. Run as root (or with sudo
# available).
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
  locales                                # a comma-decimal desktop locale for the tests
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests format numbers under de_DE.UTF-8, whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qx 'de_DE\.utf8'; then
  echo "Generating the de_DE.UTF-8 locale"
  if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
fi
