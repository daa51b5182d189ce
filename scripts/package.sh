#!/usr/bin/env bash
# Builds the game optimised, packs it with CPack's DEB generator into
# build-package/grumbo_<version>_<arch>.deb, and checks the package: lintian (no errors or
# warnings), desktop-file-validate and appstreamcli validate on the files it installs, and the
# window test that unpacks it and starts its launcher under Xvfb. That test also leaves the
# AppStream screenshots in build-package/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/build-package"
# The build's packages, and the packaging and checking tools.
scripts/install-deps.sh dpkg-dev lintian desktop-file-utils appstream

# Debian's own compiler and linker flags (hardening included), as a package built by
# dpkg-buildpackage gets them; no debugging information, since the package is stripped.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_CFLAGS_MAINT_STRIP=-g DEB_CXXFLAGS_MAINT_STRIP=-g
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# The tests are configured only for the package's window test; installing does not build the
# whole tree first, since only the game and its files go into the package.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRUMBO_BENCH=OFF -DGRUMBO_TESTS=ON \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}" \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" > /dev/null
cmake --build "$build" -j"$(nproc)" --target grumbo_game grumbo_package_files window_tests
rm -f "$build"/grumbo_*.deb
(cd "$build" && cpack -G DEB > /dev/null)
deb=$(ls "$build"/grumbo_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends

echo "== lintian"
lintian --fail-on error,warning --display-info "$deb"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"
echo "== desktop-file-validate"
desktop-file-validate "$work"/usr/share/applications/*.desktop
echo "== appstreamcli validate"
appstreamcli validate --no-net "$work"/usr/share/metainfo/*.metainfo.xml

echo "== the package started from its launcher"
cd "$build"
LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
  ctest --output-on-failure -R '^InstalledPackage\.'
