#!/usr/bin/env bash
# check_installed_tree.sh PREFIX: checks what `cmake --install --prefix PREFIX` put in place: the
# two programs run, the desktop entry and the AppStream metadata pass their validators, the icon
# the entry names exists as a PNG of each hicolor size, and the manual pages are there.
set -euo pipefail
prefix=${1:?usage: check_installed_tree.sh PREFIX}
failures=0
fail() { echo "installed tree: $*" >&2; failures=$((failures + 1)); }

# Only the viewer and the simulated camera are installed.
programs=$(cd "$prefix/bin" && ls)
[ "$programs" = "$(printf 'pemblar\npemblar-camera')" ] || fail "bin holds: $(echo $programs)"

# Both programs start: their libraries load and they answer on their own.
if ! help=$("$prefix/bin/pemblar-camera" --help 2>&1) || [[ "$help" != *"Usage: pemblar-camera"* ]]; then
  fail "pemblar-camera --help did not print its usage"
fi
status=0
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/pemblar" 2>&1) || status=$?
[[ $status -eq 1 && "$said" == *"no display to open"* ]] || fail "pemblar without a display: $status $said"

entry="$prefix/share/applications/pemblar.desktop"
# The validator's exit status is 0 for some errors ("will be fatal in the future"): anything it says
# fails the check.
if ! said=$(desktop-file-validate "$entry" 2>&1) || [ -n "$said" ]; then
  fail "pemblar.desktop does not validate: $said"
fi
said=$(appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml 2>&1) ||
  fail "the AppStream metadata does not validate: $said"

# The entry starts an installed program and names an icon that exists at every size.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  [[ -f "$png" && "$(file -b "$png")" == "PNG image data, $size x $size,"* ]] ||
    fail "no ${size}x${size} PNG icon $png"
done

for page in pemblar pemblar-camera; do
  [ -f "$prefix/share/man/man1/$page.1.gz" ] || fail "no manual page $page.1"
done

[ "$failures" -eq 0 ] || exit 1
echo "installed tree: all checks passed"
