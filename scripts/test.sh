#!/usr/bin/env bash
# Installs what is missing, builds every configuration the project checks and
# runs all tests: the sanitised debug build (all labels), the engine under
# ThreadSanitizer (without the GUI), a short run of every fuzzer, the
# formatting, clang-tidy on the core and the rule that the core never includes wx.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup.sh
scripts/check-core.sh
scripts/check-layers.sh

echo "== win64 (plov.exe cross compiled with mingw-w64; its Wine test runs with the dev tests)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"

echo "== dev (ASan + UBSan), all tests"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
cmake --build build/dev --target check-format
scripts/tidy.sh
ctest --test-dir build/dev --output-on-failure -j "$jobs" --timeout 300 -LE mirror

echo "== dev, mirrors of real manuals next to wget (label mirror)"
ctest --test-dir build/dev --output-on-failure -L mirror --timeout 1200

echo "== tsan (engine and crawl tests, no GUI)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build/tsan -L 'engine|crawl' --output-on-failure -j "$jobs" --timeout 300

echo "== fuzzers (short run each)"
scripts/fuzz.sh "${MAROVINE_FUZZ_SECONDS:-10}"

echo "== all checks passed"
