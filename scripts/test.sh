#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the normal build, the
# Debian package (made by scripts/package.sh, checked, installed, run and purged), the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets for a
# bounded time.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="$(nproc 2>/dev/null || echo 2)"

"$root/scripts/setup.sh"

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
echo "== tests"
ctest --test-dir build -j"$jobs" --output-on-failure --timeout 600 -LE package
echo "== Debian package"
ctest --test-dir build -j"$jobs" --output-on-failure -L package

echo "== sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSW_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir build-asan -j"$jobs" --output-on-failure --timeout 900

echo "== fuzz targets"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSW_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$jobs"
ctest --test-dir build-fuzz -j"$jobs" --output-on-failure --timeout 600

echo "== all tests passed"
