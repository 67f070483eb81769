#!/usr/bin/env bash
# Builds the Debian package from a Release build of the installed programs in build/package (or
# PEMBLAR_BUILD_DIR): checks the installed tree, packs it with CPack and has lintian check the
# package. Extra arguments go to the CMake configure. The last line printed is the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="${PEMBLAR_BUILD_DIR:-$root/build/package}"

# Debian's flags for its packages with all hardening, without -g (stripped anyway) and -O2 (Release
# optimises), before any CXXFLAGS and LDFLAGS given. They take effect on the first configure.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags=()
for flag in $(cd "$root" && dpkg-buildflags --get CPPFLAGS && dpkg-buildflags --get CXXFLAGS); do
  case "$flag" in -g|-O2) ;; *) cxxflags+=("$flag") ;; esac
done
export CXXFLAGS="${cxxflags[*]} ${CXXFLAGS:-}"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS) ${LDFLAGS:-}"

# Only what is installed is built: the package step does not wait for the rest of `all`.
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPEMBLAR_TESTS=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "$@" >/dev/null
cmake --build "$dir" --target pemblar pemblar-camera pemblar_desktop_files -- -j"$(nproc)"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$dir" --prefix "$stage" >/dev/null
"$root/tests/install/check_installed_tree.sh" "$stage"

rm -f "$dir"/pemblar_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
package=$(ls "$dir"/pemblar_*.deb)
lintian --fail-on error "$package"
echo "$package"
