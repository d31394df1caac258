#!/usr/bin/env bash
# Runs the Windows tests again and again to find flaky ones:
#   scripts/repeat-tests.sh RUNS [CTEST_REGEX]
# Needs a built build/win (scripts/test.sh makes it). Prints one line per run
# and, at the end, how many runs failed and which tests failed in them.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:?usage: scripts/repeat-tests.sh RUNS [CTEST_REGEX]}"
regex="${2:-.}"
log_dir="$root/build/repeat-tests"
mkdir -p "$log_dir"
failed_runs=0
for i in $(seq 1 "$runs"); do
  if (cd "$root/build/win" && ctest -j 1 -R "$regex" --output-on-failure > "$log_dir/run-$i.log" 2>&1); then
    echo "run $i: passed"
    rm -f "$log_dir/run-$i.log"
  else
    failed_runs=$((failed_runs + 1))
    echo "run $i: FAILED ($(grep -E '^\s+[0-9]+ - ' "$log_dir/run-$i.log" | tr -s ' ' | tr '\n' ';')) log: $log_dir/run-$i.log"
  fi
done
echo "$failed_runs of $runs runs failed"
[ "$failed_runs" -eq 0 ]
