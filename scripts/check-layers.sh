#!/usr/bin/env bash
# Checks that #include lines between the saver's folders run one way, top
# to bottom in this order, so that no two folders depend on each other:
LAYERS=(host render scenario fountains textures options platform)
# Each folder below platform/ is one backend (posix, x11, win32, memory).
# A backend includes the platform's portable headers and its own, never
# another backend's; the portable code (every layer above, and platform/
# itself) includes no backend's header.
# Prints the folder-to-folder edges with their counts; fails (status 1) on
# any include that breaks a rule, naming the file and line.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  local i
  for i in "${!LAYERS[@]}"; do [ "${LAYERS[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

# The folder a path stands in: platform/BACKEND for a backend's files, else
# its top folder.
folder_of() {
  case "$1" in
    platform/*/*) local rest=${1#platform/}; echo "platform/${rest%%/*}" ;;
    *) echo "${1%%/*}" ;;
  esac
}

declare -A edges=()
bad=0
backends=$(cd platform && find . -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort)
while IFS=: read -r file line text; do
  from=$(folder_of "$file")
  target=${text#*\"}
  target=${target%%\"*}
  to=$(folder_of "$target")
  from_top=${from%%/*} to_top=${to%%/*}
  to_rank=$(rank "$to_top")
  [ "$to_rank" -ge 0 ] || continue
  [ "$to" = "$from" ] || edges["$from -> $to"]=$(( ${edges["$from -> $to"]:-0} + 1 ))
  if [ "$to_rank" -lt "$(rank "$from_top")" ]; then
    echo "upward include: $file:$line: $text" >&2
    bad=1
  elif [ "$to" != "$from" ] && [ "$to" != platform ] && [ "$to_top" = platform ]; then
    if [ "$from_top" = platform ] && [ "$from" != platform ]; then
      echo "include of another backend: $file:$line: $text" >&2
    else
      echo "portable code includes a backend: $file:$line: $text" >&2
    fi
    bad=1
  fi
done < <(find "${LAYERS[@]}" -name '*.h' -o -name '*.cpp' | sort |
           xargs grep -n -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z_0-9]+/' || true)

for edge in "${!edges[@]}"; do printf '%5d  %s\n' "${edges[$edge]}" "$edge"; done | sort -k2
order=$(echo "${LAYERS[*]}" | sed 's/ / -> /g')
if [ "$bad" -ne 0 ]; then
  echo "includes must run $order; a platform backend ($(echo $backends | sed 's/ /, /g')) includes only platform/ and itself" >&2
  exit 1
fi
echo "layers $order: no include runs upward"
echo "platform backends $(echo $backends | sed 's/ /, /g'): none includes another, and no portable code includes one"
