#!/usr/bin/env bash
# Checks that every C++ file of ours is laid out as .clang-format says
# (Debian 12's clang-format, version 14).  Names the files that differ and
# prints the command that mends them; exit status 1 when any differs.
# Usage: scripts/check-format.sh [--fix]   (--fix rewrites them in place)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh format

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print |
                         sed 's|^\./||' | sort)
fi

if [ "${1:-}" = --fix ]; then
  printf '%s\0' "${files[@]}" | xargs -0 clang-format -i
  echo "formatted ${#files[@]} files"
  exit 0
fi

# One run over every file; each difference is reported as FILE:LINE:COL.
report=$(printf '%s\0' "${files[@]}" | xargs -0 clang-format --dry-run 2>&1) || {
  echo "clang-format could not check the files:" >&2
  echo "$report" | tail -5 >&2
  exit 1
}
mapfile -t differ < <(echo "$report" |
                        sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: \(warning\|error\):.*/\1/p' | sort -u)
if [ ${#differ[@]} -ne 0 ]; then
  echo "${#differ[@]} of ${#files[@]} files differ from .clang-format:" >&2
  printf '  %s\n' "${differ[@]}" >&2
  echo "mend them with:  bash scripts/check-format.sh --fix   (or: clang-format -i FILE...)" >&2
  exit 1
fi
echo "${#files[@]} files laid out as .clang-format says"
