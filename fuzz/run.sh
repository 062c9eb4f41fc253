#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time.
#   fuzz/run.sh [seconds-per-target] [target ...]
# Findings land in fuzz/findings/<target>/; logs in build-fuzz/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTQ_FUZZ=ON -DTQ_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=()
  for src in fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
cmake --build build-fuzz -j2 --target "${targets[@]}"
mkdir -p build-fuzz/logs
for t in "${targets[@]}"; do
  name=${t#fuzz_}
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus" "fuzz/findings/$name"
  cp -n fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
  echo "== $t for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/$t" "$corpus" "${dict[@]}" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -timeout=60 -max_len=262144 -artifact_prefix="fuzz/findings/$name/" -print_final_stats=1 \
      >"build-fuzz/logs/$t.log" 2>&1 || echo "   $t stopped with a finding, see build-fuzz/logs/$t.log"
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "build-fuzz/logs/$t.log" | sed 's/^/   /'
done
