#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang and runs each one for a bounded time over a
# scratch copy of its seed corpus (fuzz/corpus/<target>). Exits non-zero when a target
# crashes, reports a sanitizer error, times out on one input or runs out of memory; the input
# that did it is left in the build directory's fuzz-artifacts/.
#
#   scripts/fuzz.sh                 about 10 s in all (the targets run side by side)
#   KV_FUZZ_SECONDS=60 scripts/fuzz.sh    seconds per target
#   KV_FUZZ_BUILD=dir scripts/fuzz.sh     build directory (default build/fuzz)
#   scripts/fuzz.sh --build-only    builds the targets and runs none
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_FUZZ_BUILD:-$root/build/fuzz}
seconds=${KV_FUZZ_SECONDS:-10}
targets=(project action rules)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKV_FUZZ=ON -DKV_SANITIZE=address -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"
[ "${1:-}" = --build-only ] && exit 0

artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# One target per core, all at once: each still has its seconds to itself.
fuzz() {
  local t=$1
  mkdir -p "$scratch/$t"
  cp "$root/fuzz/corpus/$t/"* "$scratch/$t/"
  "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=16384 -print_final_stats=0 -artifact_prefix="$artifacts/$t-" \
    "$scratch/$t" >"$scratch/$t.log" 2>&1
}
pids=()
for t in "${targets[@]}"; do
  fuzz "$t" &
  pids+=($!)
done

status=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  echo "fuzz_$t: ${seconds}s"
  if ! wait "${pids[$i]}"; then
    tail -n 60 "$scratch/$t.log"
    echo "fuzz_$t: FAILED (inputs in $artifacts)"
    status=1
  else
    tail -n 1 "$scratch/$t.log"
  fi
done
exit $status
