#!/usr/bin/env bash
# Builds and runs every test: the native build under AddressSanitizer and UBSan, the threaded
# tests under ThreadSanitizer, then the Windows build under Wine on a virtual display. Ends
# with one line "N passed, N failed" for all of them; exits 0 only when all pass.
#
# The four builds run side by side, and Wine boots its prefix meanwhile; each build's tests
# run as soon as it is done. The Windows tests run last with nothing else beside them: some
# print figures that follow the machine's load.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$root"
jobs=$(nproc)

bash scripts/deps.sh || { echo "0 passed, 1 failed"; exit 1; }

status=0
# Results of an earlier run must never be summed as this run's.
rm -rf build/{native,tsan,windows}/test-results/*.xml build/{native,tsan,windows}/ctest-junit.xml
mkdir -p build
build() {
  bash scripts/configure.sh "$1" && cmake --build "build/$1" -j "$jobs" || {
    echo "build of $1 failed" >&2
    return 1
  }
}
run() {
  local kind=$1; shift
  "$@" ctest --test-dir "build/$kind" -j "$jobs" --output-on-failure \
    --output-junit "$root/build/$kind/ctest-junit.xml" || status=1
}

# Booting a Wine prefix takes a while of its own: done once, while the code builds.
bash cmake/wine-run.sh --boot-only >build/wine-boot.log 2>&1 &
boot=$!
# The builds beside the native one keep their output apart; it is shown when they are done.
build windows >build/windows-build.log 2>&1 &
windows_build=$!
build tsan >build/tsan-build.log 2>&1 &
tsan_build=$!
bash scripts/fuzz.sh --build-only >build/fuzz-build.log 2>&1 &
fuzz_build=$!
# Waits for a build started beside the native one and shows its output; fails as it did.
built() {
  local code=0
  wait "$1" || code=$?
  cat "$2"
  return $code
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

# The layers form a line: library code includes and links only what lies below it. The check
# counts as one case.
layers_failed=0
python3 scripts/check_layers.py || { status=1; layers_failed=1; }

if build native; then run native; else status=1; fi
if built "$tsan_build" build/tsan-build.log; then run tsan setarch "$(uname -m)" -R; else status=1; fi
# The fuzz targets, a bounded time each, once every build is done so they have their cores to
# themselves; each target counts as one case.
built "$fuzz_build" build/fuzz-build.log || status=1
windows_built=0
built "$windows_build" build/windows-build.log || windows_built=1
fuzz_log=$(mktemp)
KV_FUZZ_SECONDS=${KV_FUZZ_SECONDS:-10} bash scripts/fuzz.sh 2>&1 | tee "$fuzz_log" || status=1
export KV_EXTRA_PASSED=$(grep -cE '^fuzz_[a-z_]+: [0-9]+s$' "$fuzz_log")
export KV_EXTRA_FAILED=$(grep -c ': FAILED' "$fuzz_log")
[ "$KV_EXTRA_PASSED" -ge 1 ] || KV_EXTRA_FAILED=$((KV_EXTRA_FAILED + 1))
KV_EXTRA_PASSED=$((KV_EXTRA_PASSED - KV_EXTRA_FAILED))
[ "$KV_EXTRA_PASSED" -ge 0 ] || KV_EXTRA_PASSED=0
rm -f "$fuzz_log"
KV_EXTRA_PASSED=$((KV_EXTRA_PASSED + 1 - layers_failed))
KV_EXTRA_FAILED=$((KV_EXTRA_FAILED + layers_failed))

# A failed boot is tried again by the first test and shows there.
wait "$boot" || true
if [ "$windows_built" = 0 ]; then
  run windows xvfb-run -a -s "-screen 0 1280x1024x24"
else
  status=1
fi
# What a user waits for while a long translator list appears (figures only, never a failure).
grep -hE '^\[ (timing|figures) +\]' build/windows/Testing/Temporary/LastTest.log 2>/dev/null || true

# Leave no Wine server of the tests' prefixes behind (the user's prefix is left alone).
for prefix in build/wineprefix build/wineprefix-*; do
  [ -f "$prefix/.kv-copied-from" ] && { WINEPREFIX=$root/$prefix wineserver -k 2>/dev/null || true; }
done

# The Wine prefixes of the build keep their users' folders inside it. The check counts as one
# case.
prefixes_failed=0
python3 scripts/check_prefixes.py || { status=1; prefixes_failed=1; }
KV_EXTRA_PASSED=$((KV_EXTRA_PASSED + 1 - prefixes_failed))
KV_EXTRA_FAILED=$((KV_EXTRA_FAILED + prefixes_failed))

python3 scripts/sum-tests.py build/native build/tsan build/windows || status=1
exit $status
