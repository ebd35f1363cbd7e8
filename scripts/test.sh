#!/usr/bin/env bash
# Installs what is missing, then builds and runs every check CI runs:
#  1. the whole project with -Werror (GCC), all tests, GUI tests on the offscreen platform;
#  2. the non-GUI code under AddressSanitizer + UndefinedBehaviorSanitizer (clang), its tests,
#     and each libFuzzer target for a bounded time on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
fuzz_seconds=${TESS_FUZZ_SECONDS:-30}

echo "== build (gcc, -Werror)"
cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESS_WERROR=ON
cmake --build build-ci -j "$jobs"
echo "== tests"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-ci --output-on-failure -j "$jobs"

echo "== build (clang, ASan + UBSan, fuzz targets)"
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DTESS_WERROR=ON -DTESS_GUI=OFF -DTESS_BENCH=OFF -DTESS_SANITIZE=ON -DTESS_FUZZ=ON
cmake --build build-asan -j "$jobs"
echo "== tests under sanitizers"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzzing, ${fuzz_seconds}s per target"
for target in build-asan/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  cp -r "fuzz/corpus/${name#fuzz_}/." "$corpus/" 2>/dev/null || true
  echo "-- $name"
  ASAN_OPTIONS=detect_leaks=1 "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
  test "${PIPESTATUS[0]}" -eq 0
  rm -rf "$corpus"
done
echo "all checks passed"
