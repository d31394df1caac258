#!/usr/bin/env bash
# Runs one libFuzzer target for a while: scripts/fuzz.sh TARGET [SECONDS].
# Targets are built by clang with AddressSanitizer and UBSan. New inputs found
# go to build/fuzz-corpus/TARGET; crashes are written to build/fuzz-crashes/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
target="${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}"
seconds="${2:-60}"
"$root/scripts/setup.sh"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLEXORIA_FUZZ=ON >/dev/null
# Every target has its seed corpus beside its source: an unknown name has none.
corpus_dir="$(find tests -type d -name "${target}_corpus" -print -quit)"
if [ -z "$corpus_dir" ]; then
  known="$(find tests -type d -name '*_corpus' -printf '%f\n' | sed 's/_corpus$//' | sort | tr '\n' ' ')"
  echo "fuzz.sh: unknown target '$target'; known targets: $known" >&2
  exit 2
fi
cmake --build build/fuzz -j "$(nproc)" --target "$target"
exe="$(find build/fuzz -type f -name "$target" -perm -u+x -print -quit)"
if [ -z "$exe" ]; then
  echo "fuzz.sh: target '$target' built no program under build/fuzz" >&2
  exit 2
fi
mkdir -p "build/fuzz-corpus/$target" build/fuzz-crashes
"$exe" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix=build/fuzz-crashes/ \
  "build/fuzz-corpus/$target" "$corpus_dir"
