#!/usr/bin/env bash
# Builds the release configuration and runs every benchmark; each prints its
# figures and the ratio against the reference it measures in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
for bench in build/release/bench/*_bench; do
  echo "== $(basename "$bench")"
  "$bench"
done
