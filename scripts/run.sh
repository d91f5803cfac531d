#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and runs
# marovine-cli with the given arguments (for example a start URL).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target marovine-cli >/dev/null
if [ $# -eq 0 ]; then set -- --help; fi
exec build/release/marovine/cli/marovine-cli "$@"
