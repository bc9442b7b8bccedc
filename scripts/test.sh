#!/usr/bin/env bash
# Builds everything and runs every test: host tests natively, Win32 tests under
# Wine, and end-to-end tests that drive the programs under Wine with raw
# requests and three real browser engines.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

bash "$root/scripts/install-deps.sh"
source "$root/scripts/wine-env.sh"
trap 'stop_wine; stop_private_display' EXIT

echo "== host build and tests"
cmake -S "$root" -B "$root/build/host" -DCMAKE_BUILD_TYPE=Debug
cmake --build "$root/build/host" -j"$jobs"
ctest --test-dir "$root/build/host" --output-on-failure
echo "== benchmark: client table look-ups"
"$root/build/host/tests/bench/client_table_benchmark"

echo "== Windows build and Win32 tests under Wine"
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON
cmake --build "$root/build/win" -j"$jobs"
echo "-- preparing the Wine prefix"
ensure_wine_prefix
ctest --test-dir "$root/build/win" --output-on-failure

echo "== end-to-end tests"
(cd "$root/tests/e2e" && npm ci --no-audit --no-fund --loglevel=error)
export BUILD_WIN="$root/build/win"
# One file at a time: every file starts a program that needs port 80 alone.
for suite in "$root"/tests/e2e/*.test.mjs; do
    echo "-- $(basename "$suite")"
    node --test "$suite"
done
