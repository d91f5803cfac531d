#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) on the core: platform/ and
# marovine/ without the wx front end, one file per process, as many at once as
# there are cores. Needs build/dev/compile_commands.json (cmake --preset dev).
# Any finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/dev
if [ ! -f "$build/compile_commands.json" ]; then
  echo "tidy: $build/compile_commands.json is missing; run cmake --preset dev first" >&2
  exit 1
fi
tidy=$(command -v clang-tidy || command -v clang-tidy-14)
# The compile commands are g++'s; clang does not know two of its warning options.
find platform marovine -name '*.cpp' -not -path 'marovine/ui/*' -print0 | sort -z |
  xargs -0 -n 1 -P "$(nproc)" "$tidy" -p "$build" --quiet \
    --extra-arg=-Wno-unknown-warning-option 2>/dev/null
echo "tidy: the core is clean"
