#!/usr/bin/env bash
# Runs the GoogleTest runner under Wine in a throwaway prefix inside the
# build folder, then prints one summary line.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tests/wine_env.sh"

prefix="$top/build/wine/unit"
runner="$top/build/unit/tests/unit/unit_tests.exe"
log="$top/build/wine/unit_tests.log"
mkdir -p "$top/build/wine"
[ -f "$prefix/system.reg" ] || make_prefix "$prefix"

export WINEPREFIX="$prefix" HOME="$prefix/home"
start_xvfb || exit 1
trap 'kill "$XVFB_PID" 2>/dev/null' EXIT
LUMIDOR_SETUP_EXE=$(z_path "$top/dist/lumidor476_setup.exe") \
  LUMIDOR_TEST_ARCHIVES=$(z_path "$top/build/product/test-archives") \
  LUMIDOR_PAYLOAD_ZIP=$(z_path "$top/build/product/payload/lumipg_payload.zip") \
  LUMIDOR_SETUP_MANIFEST=$(z_path "$top/wizard/setup.manifest") wine "$runner" "$@" >"$log" 2>&1
status=$?
# The parser's long random run, on its own, under Wine's heap checking.
heap_log="$top/build/wine/unit_heap.log"
WINEDEBUG=warn+heap wine "$runner" --gtest_also_run_disabled_tests \
  --gtest_filter='SilentOptions.DISABLED_HundredThousandRandomCommandLines' >"$heap_log" 2>&1
heap_status=$?
wineserver -k 2>/dev/null
if [ "$heap_status" -ne 0 ] || grep -qE '^[0-9a-f]*:?(err|warn):heap' "$heap_log"; then
  echo "random command lines under heap checking failed:"; grep -E 'heap|FAILED' "$heap_log" | head -n 20
  status=1
fi
grep -E '^\[  (FAILED|PASSED|SKIPPED) |: Failure$|^face|drawn with' "$log" | head -n 60
passed=$(grep -c '^\[       OK \]' "$log")
failed=$(grep -c '^\[  FAILED  \] .*(' "$log")
passed=$((passed + $(grep -c '^\[       OK \]' "$heap_log")))
failed=$((failed + $(grep -c '^\[  FAILED  \] .*(' "$heap_log")))
if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; echo "unit tests ended with status $status"; tail -n 20 "$log"; fi
echo "unit: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
