#!/usr/bin/env bash
# Builds Release in its own build directory and makes the binary Debian package of
# stageworks, matforge, the launcher, the run data and (when it is built) the export tool.
# Prints the package's path as its last line.
#
#   package.sh [BUILD_DIR]     default: build-package in the source tree
#
# The compiler and linker flags are Debian's (dpkg-buildflags: hardening, reproducible
# paths); the dependencies are computed by dpkg-shlibdeps through CPack.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(realpath -m "${1:-$root/build-package}")"
jobs="$(nproc 2>/dev/null || echo 2)"

"$root/scripts/setup.sh"

# NOTE: dpkg-buildflags' -ffile-prefix-map is relative to the current directory
cd "$root"
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cflags="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"

echo "== configure ($build)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
echo "== build"
# NOTE: only what the package holds is built; cpack then installs without building "all"
cmake --build "$build" -j"$jobs" --target package_contents
echo "== package"
rm -rf "$build/package"
(cd "$build" && umask 022 && cpack -G DEB --config CPackConfig.cmake)

shopt -s nullglob
debs=("$build"/package/stageworks_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  echo "package.sh: expected one package in $build/package, found ${#debs[@]}" >&2
  exit 1
fi
echo "${debs[0]}"
