#!/usr/bin/env bash
# Checks that #include lines between the saver's folders run one way, top
# to bottom in this order, so that no two folders depend on each other:
LAYERS=(host render scenario fountains textures options platform)
# Prints the folder-to-folder edges with their counts; fails (status 1) on
# any include that goes up the order, naming the file and line.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  local i
  for i in "${!LAYERS[@]}"; do [ "${LAYERS[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

declare -A edges=()
bad=0
for from in "${LAYERS[@]}"; do
  from_rank=$(rank "$from")
  while IFS=: read -r file line text; do
    to=${text#*\"}
    to=${to%%/*}
    to_rank=$(rank "$to")
    [ "$to_rank" -lt 0 ] || [ "$to" = "$from" ] && continue
    edges["$from -> $to"]=$(( ${edges["$from -> $to"]:-0} + 1 ))
    if [ "$to_rank" -lt "$from_rank" ]; then
      echo "upward include: $file:$line: $text" >&2
      bad=1
    fi
  done < <(grep -n -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z_]+/' \
             "$from"/*.h "$from"/*.cpp 2>/dev/null || true)
done

for edge in "${!edges[@]}"; do printf '%5d  %s\n' "${edges[$edge]}" "$edge"; done | sort -k2
order=$(echo "${LAYERS[*]}" | sed 's/ / -> /g')
if [ "$bad" -ne 0 ]; then
  echo "includes must run $order" >&2
  exit 1
fi
echo "layers $order: no include runs upward"
