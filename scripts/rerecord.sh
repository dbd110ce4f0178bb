#!/usr/bin/env bash
# Makes recorded games again from their own keys, after a change that is
# meant to change what the game shows, and prints which screens changed so
# that the change's reviewer sees every one of them.
# Usage: scripts/rerecord.sh [RECORDING...]   (default: tests/recordings/*.rec)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSTARHOLLOW_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
files=("$@")
[ ${#files[@]} -gt 0 ] || files=(tests/recordings/*.rec)
for file in "${files[@]}"; do
  echo "== $file"
  ./build/starhollow --rerecord "$file"
done
