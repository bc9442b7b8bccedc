#!/usr/bin/env bash
# Builds the Windows programs and starts hotkey_relay under Wine, on $DISPLAY
# or on a private Xvfb. Port 80 needs root on Linux.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/install-deps.sh"
source "$root/scripts/wine-env.sh"
trap 'stop_private_display' EXIT

cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$root/build/win" -j"$(nproc)"
ensure_wine_prefix

program=hotkey_relay
[ -f "$root/build/win/$program.exe" ] || program=hotkey_relay_lite
echo "Starting $program on display $DISPLAY; open http://127.0.0.1/ in a browser."
"$WINE" "$root/build/win/$program.exe"
