#!/usr/bin/env bash
# Checks the package: builds it twice, each time from an emptied build
# folder, and compares the digests (the same commit must give the same bytes); then
# unpacks it into an empty folder and runs the program from there under Wine,
# where an end-to-end test sees its window come up and a drop land.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"
work="$root/build/check-package"
rm -rf "$work"
mkdir -p "$work"

# The package's own build folder, emptied before each run (the compiler
# cache, when there is one, keys objects by their folder, so this one builds
# fastest).
for run in first second; do
  echo "== package, $run build"
  rm -rf "$root/build/release"
  PLEXORIA_PACKAGE_DIST_DIR="$work/dist-$run" "$root/scripts/package.sh"
done
zip_first="$(ls "$work"/dist-first/plexoria-*-win64.zip)"
zip_second="$work/dist-second/$(basename "$zip_first")"
digest_first="$(cut -d' ' -f1 "$zip_first.sha256")"
digest_second="$(cut -d' ' -f1 "$zip_second.sha256")"
if [ "$digest_first" != "$digest_second" ] || ! cmp -s "$zip_first" "$zip_second"; then
  echo "check-package: two builds of one commit differ: $digest_first and $digest_second" >&2
  exit 1
fi
(cd "$work/dist-first" && sha256sum -c --quiet "$(basename "$zip_first").sha256")
echo "check-package: both builds give $digest_first"

echo "== the unpacked program under Wine"
unpacked="$work/unpacked"
mkdir "$unpacked"
unzip -q "$zip_first" -d "$unpacked"
listed="$(cd "$unpacked" && find . -type f | sort | tr '\n' ' ')"
if [ "$listed" != "./CHANGELOG.md ./LICENSE ./README.md ./plexoria.exe " ]; then
  echo "check-package: the package holds: $listed" >&2
  exit 1
fi
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/win -j "$(nproc)" --target e2e_program_copy_tests
trap '"$root/scripts/stop-wine.sh"' EXIT
unpacked_exe="$unpacked/plexoria.exe"
PLEXORIA_E2E_EXE="Z:${unpacked_exe//\//\\}" \
  "$root/scripts/wine.sh" "$root/build/win/tests/e2e/e2e_program_copy_tests.exe" --gtest_brief=1
echo "check-package: the unpacked program shows its window and takes a drop"
