#!/usr/bin/env bash
# Builds the Release program and writes build/dist/plexoria-<version>-win64.zip
# (plexoria.exe, README.md, LICENSE, CHANGELOG.md) and beside it the zip's
# SHA-256 digest. The same commit always gives the same bytes: the image has
# no link time, and the zip's entries have one fixed time (SOURCE_DATE_EPOCH,
# the commit's time unless set), fixed permissions and a fixed order.
#
# PLEXORIA_PACKAGE_BUILD_DIR and PLEXORIA_PACKAGE_DIST_DIR choose other
# folders for the build and the result (scripts/check-package.sh uses them).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"
build="${PLEXORIA_PACKAGE_BUILD_DIR:-$root/build/release}"
dist="${PLEXORIA_PACKAGE_DIST_DIR:-$root/build/dist}"

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DPLEXORIA_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target plexoria
version="$(cat "$build/plexoria-version.txt")"
name="plexoria-$version-win64"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct)"
fi

stage="$build/package-stage"
rm -rf "$stage"
mkdir -p "$stage" "$dist"
files=(CHANGELOG.md LICENSE README.md plexoria.exe)
install -m 0644 "$build/app/plexoria.exe" "$stage/plexoria.exe"
for f in CHANGELOG.md LICENSE README.md; do install -m 0644 "$root/$f" "$stage/$f"; done
touch -d "@$SOURCE_DATE_EPOCH" "${files[@]/#/$stage/}"

# zip stores local times: in UTC they do not depend on the machine. -X leaves
# out owners and extra time fields, -D directory entries; the names are given
# in one sorted order.
zip_file="$dist/$name.zip"
rm -f "$zip_file" "$zip_file.sha256"
(cd "$stage" && TZ=UTC zip -X -D -q -9 "$zip_file" "${files[@]}")
(cd "$dist" && sha256sum "$name.zip" > "$name.zip.sha256")
rm -rf "$stage"
echo "package: $zip_file"
echo "sha256:  $(cut -d' ' -f1 "$zip_file.sha256")"
