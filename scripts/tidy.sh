#!/usr/bin/env bash
# Static analysis with the root .clang-tidy over every translation unit of the
# native core and of the Windows build, read from their compile_commands.json.
# Usage: scripts/tidy.sh [build/native build/win]  (defaults to both)
# Exits non-zero on any finding. TIDY_FIX=1 applies the fixes clang-tidy offers
# (needs clang-apply-replacements); read each one: some change meaning.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(build/native build/win)
tidy="$(command -v run-clang-tidy-14 || command -v run-clang-tidy)"
# Only our own sources: generated files and the test framework's sources are
# not ours to change.
files="^$root/(app|markup|dragdrop|chrome|skin|framework|tools|tests|bench)/"
fix=()
[ "${TIDY_FIX:-0}" = 1 ] && fix=(-fix)

status=0
for build in "${builds[@]}"; do
  [ -f "$build/compile_commands.json" ] || { echo "tidy: $build/compile_commands.json is missing; configure $build first" >&2; exit 1; }
  # clang does not know every warning option gcc's command lines carry.
  extra=(-extra-arg=-Wno-unknown-warning-option)
  if grep -q 'mingw32' "$build/compile_commands.json"; then
    # clang reads the cross build's commands as a mingw target; it needs the
    # C++ library headers of the posix-thread mingw compiler the build uses.
    gxx=x86_64-w64-mingw32-g++-posix
    extra+=(-extra-arg=--target=x86_64-w64-mingw32)
    while read -r dir; do
      case "$dir" in */include/c++*) extra+=("-extra-arg=-isystem$dir") ;; esac
    done < <(echo | "$gxx" -xc++ -E -v - 2>&1 | sed -n '/search starts here/,/End of search/p' | sed 's/^ *//')
  fi
  echo "== clang-tidy over $build"
  "$tidy" -quiet -p "$build" -j "$(nproc)" "${extra[@]}" "${fix[@]}" "$files" \
    2> >(grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^Error while processing' >&2) || status=1
done
exit "$status"
