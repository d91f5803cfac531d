#!/usr/bin/env bash
# The core library must never include a wx header.
set -euo pipefail
cd "$(dirname "$0")/.."
if grep -rnE '#\s*include\s*[<"]wx/' platform marovine/engine marovine/document marovine/album marovine/unattended \
    plov/core plov/linux; then
  echo "check-core: the core includes wx headers (above)" >&2
  exit 1
fi
if grep -nE 'wx' CMakeLists.txt | grep -n 'marovine_core' ; then
  echo "check-core: marovine_core must not link wx" >&2
  exit 1
fi
# plov's core runs on Windows and Linux alike: no system header in it.
if grep -rnE '#\s*include\s*[<"](windows\.h|unistd\.h|sys/|dirent\.h|spawn\.h|shlobj\.h)' plov/core; then
  echo "check-core: plov/core includes a system header (above)" >&2
  exit 1
fi
echo "check-core: the core is free of wx"
