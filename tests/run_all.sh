#!/usr/bin/env bash
# Runs every test runner, each printing its own summary line, then the total.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
results="$top/build/test-results"
mkdir -p "$results"

status=0
"$top/tests/run_unit_tests.sh" 2>&1 | tee "$results/unit.txt"; [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
python3 "$top/tests/e2e/run.py" 2>&1 | tee "$results/e2e.txt"; [ "${PIPESTATUS[0]}" -eq 0 ] || status=1

passed=0; failed=0
for runner in unit e2e; do
  line=$(grep -E "^$runner: [0-9]+ passed, [0-9]+ failed" "$results/$runner.txt" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); status=1; echo "$runner: no summary"; continue; fi
  set -- $line
  passed=$((passed + $2)); failed=$((failed + $4))
done
echo "total: $passed passed, $failed failed"
exit $status
