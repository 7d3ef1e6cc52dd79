#!/usr/bin/env bash
# Builds the Debian package from a Release build: brevant_<version>_<arch>.deb in this folder,
# installed with `sudo apt install ./brevant_<version>_<arch>.deb`. Beside it lands the main
# window's screenshot, taken from the packaged program on a display of its own: the package's
# software centre entry names it at the address printed, where it is to be published.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh release
build=build/release

rm -rf "$build/package"
cpack --config "$build/CPackConfig.cmake" -B "$build/package"
deb=$(find "$build/package" -maxdepth 1 -name 'brevant_*.deb')
cp "$deb" .
echo "== lintian"
lintian --fail-on error "$deb"

cmake --build --preset release --target screenshot
screenshot=$(find "$build" -maxdepth 1 -name 'brevant-*-main-window.png')
cp "$screenshot" .
url=$(sed -n 's|.*<image>\(.*\)</image>.*|\1|p' "$build/packaging/com.quillfen.brevant.metainfo.xml")
echo "Package: $top/$(basename "$deb")"
echo "Screenshot: $top/$(basename "$screenshot"), to be published at $url"
echo "Install it with: sudo apt install ./$(basename "$deb")"
