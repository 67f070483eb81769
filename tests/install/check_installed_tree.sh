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

# A home nothing can be written in (a file: not even root can), and no font cache fontconfig can
# use: the viewer still starts, and says what is missing in one line each.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
touch "$scratch/home"
cat > "$scratch/fonts.conf" <<'CONF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig><dir>/usr/share/fonts</dir><cachedir prefix="xdg">fontconfig</cachedir></fontconfig>
CONF
# (TMPDIR: the private font cache folder of the viewer, which is ended by a signal, goes too.)
env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME -u XDG_CACHE_HOME HOME="$scratch/home" \
  TMPDIR="$scratch" FONTCONFIG_FILE="$scratch/fonts.conf" QT_QPA_PLATFORM=offscreen \
  "$prefix/bin/pemblar" 2>"$scratch/said" &
viewer=$!
for _ in $(seq 1200); do  # until both lines are out, the viewer ends, or two minutes pass
  if [ "$(wc -l <"$scratch/said")" -ge 2 ] || ! kill -0 "$viewer" 2>/dev/null; then break; fi
  sleep 0.1
done
if kill -0 "$viewer" 2>/dev/null; then kill "$viewer"; else fail "pemblar ended with an unusable home"; fi
wait "$viewer" 2>/dev/null || true
grep -v '^QStandardPaths: ' "$scratch/said" >"$scratch/lines" || true
expected="pemblar: no font cache, and $scratch/home/.cache/fontconfig cannot be written: *
pemblar: the settings file $scratch/home/.config/MyCompany/Pemblar.conf cannot be made or read: *"
# shellcheck disable=SC2053
[[ "$(cat "$scratch/lines")" == $expected ]] ||
  fail "pemblar with an unusable home said: $(cat "$scratch/said")"

[ "$failures" -eq 0 ] || exit 1
echo "installed tree: all checks passed"
