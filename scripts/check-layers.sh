#!/usr/bin/env bash
# Layers, lowest first: a folder may include its own layer and those below it,
# never one above. The build links each layer only to those below it; this
# checks the includes the same way, so a wrong direction fails before linking.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(platform marovine/engine marovine/album marovine/document marovine/unattended)
status=0
for i in "${!layers[@]}"; do
  folder=${layers[$i]}
  [ -d "$folder" ] || continue
  for higher in "${layers[@]:$((i + 1))}"; do
    if grep -rnE "#\s*include\s*\"${higher}/" "$folder"; then
      echo "check-layers: $folder includes $higher, a higher layer (above)" >&2
      status=1
    fi
  done
  for front in marovine/ui marovine/cli tarq plov tests; do
    if grep -rnE "#\s*include\s*\"${front}/" "$folder"; then
      echo "check-layers: $folder includes the front end or test folder $front (above)" >&2
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "check-layers: every layer includes only itself and the layers below"
exit $status
