#!/usr/bin/env bash
# Installs what is missing, builds with MinGW and natively (sanitized, with the fuzz targets), and
# runs every test: the unit tests under ASan/UBSan, short fuzz runs, the Wine tests. The unit tests run in the
# sanitized build only: a plain build would run the same tests again without the checks.
# The Wine tests mostly wait on windows and servers, so they run while the native builds and
# tests use the processors; their report follows at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
started=$SECONDS
phase() { echo "== $1 (at $((SECONDS - started)) s)"; }

phase "MinGW build, and the Wine tests' first prefix made meanwhile"
/usr/bin/python3 tests/wine/winebed.py template >/dev/null &
template_pid=$!
bash scripts/build.sh mingw
wait $template_pid
wine_log=build/mingw/wine-tests.log
phase "Wine tests, in the background (report at the end)"
lanes=$(sed -n 's/^WINE_LANES:STRING=//p' build/mingw/CMakeCache.txt)
ctest --test-dir build/mingw -L wine -j"$lanes" --output-on-failure >"$wine_log" 2>&1 &
wine_pid=$!
trap 'kill $wine_pid 2>/dev/null && WINEBED_BUILD=$PWD/build/mingw /usr/bin/python3 tests/wine/winebed.py cleanup --lanes $lanes' EXIT

# The native work yields to the Wine tests, which wait on windows and servers most of the time
# but must answer promptly when they run.
phase "unit tests (address and undefined-behaviour sanitizers), benchmarks and fuzz targets built"
nice -n 10 bash scripts/build.sh asan
nice -n 10 ctest --test-dir build/asan -L unit -j2 --output-on-failure

# The targets run side by side: each for its own time, whatever the others do.
phase "fuzzing (${FUZZ_SECONDS:=20} s a target, side by side)"
fuzz() {
  local name=$1 work seeds=()
  work=$(mktemp -d)
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  nice -n 10 "build/asan/fuzz/${name}_fuzz" -max_total_time="$FUZZ_SECONDS" -print_final_stats=1 -artifact_prefix="$work/" \
    "$work" "${seeds[@]}" >"$work.log" 2>&1 || true
  echo "$name: $(grep -E '^(stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' "$work.log" | tr '\n' ' ')"
  if ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* >/dev/null 2>&1; then
    echo "fuzz target $name found a failing input:"; ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* 2>/dev/null
    return 1
  fi
  rm -rf "$work" "$work.log"
}
fuzz_pids=()
for target in build/asan/fuzz/*_fuzz; do
  fuzz "$(basename "$target" _fuzz)" &
  fuzz_pids+=($!)
done
fuzz_failed=0
for pid in "${fuzz_pids[@]}"; do wait "$pid" || fuzz_failed=1; done
[ $fuzz_failed -eq 0 ]

if ! grep -q mingw-i686 build/mingw/CMakeCache.txt; then
  # The Wine tests ran a 64-bit build: still prove that the 32-bit programs build.
  phase "32-bit build of the programs and their setup"
  nice -n 10 bash scripts/build.sh mingw32 pathloom_setup
fi

phase "waiting for the Wine tests"
status=0
wait $wine_pid || status=$?
trap - EXIT
cat "$wine_log"
phase "done"
exit $status
