#!/usr/bin/env bash
# Configures and builds one flavour: plain (default), asan, tsan or fuzz, in build/<flavour>
# (or in PEMBLAR_BUILD_DIR when set); only the targets named in PEMBLAR_TARGETS when set.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-plain}
shift || true
case "$flavour" in
  plain) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan) flags=(-DCMAKE_BUILD_TYPE=Debug -DPEMBLAR_ASAN=ON) ;;
  tsan) flags=(-DCMAKE_BUILD_TYPE=Debug -DPEMBLAR_TSAN=ON) ;;
  fuzz) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DPEMBLAR_FUZZ=ON -DPEMBLAR_TESTS=OFF) ;;
  *) echo "unknown flavour: $flavour (plain, asan, tsan, fuzz)" >&2; exit 2 ;;
esac
dir="${PEMBLAR_BUILD_DIR:-$root/build/$flavour}"
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" "$@" >/dev/null
read -r -a targets <<< "${PEMBLAR_TARGETS:-}"
cmake --build "$dir" ${targets[@]:+--target "${targets[@]}"} -- -j"$(nproc)"
