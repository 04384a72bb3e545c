#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every tracked .h and .cpp file (build folders left out) is
# formatted as .clang-format describes, with clang-format 14 as Debian ships
# it (scripts/install-deps.sh). Names each file that differs and its first
# difference; `clang-format -i FILE` formats a file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

format="${CLANG_FORMAT:-$(command -v clang-format-14 || command -v clang-format || true)}"
if [ -z "$format" ]; then
  echo "clang-format is not installed (scripts/install-deps.sh)"
  exit 1
fi
if ! "$format" --version | grep -q 'version 14\.'; then
  echo "note: $("$format" --version) formats in places differently from clang-format 14"
fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t listed < <(git ls-files -- '*.h' '*.cpp')
else
  mapfile -t listed < <(find . \( -name 'build*' -prune \) -o \( -name '*.h' -o -name '*.cpp' \) -print | sed 's|^\./||' | sort)
fi
files=()
for f in "${listed[@]}"; do
  [[ "$f" =~ (^|/)build[^/]*/ ]] && continue
  [ -f "$f" ] && files+=("$f")
done

if [ ${#files[@]} -eq 0 ]; then
  echo "format: no source files found under $root"
  exit 1
fi
if "$format" --dry-run --Werror --style=file "${files[@]}" >/dev/null 2>&1; then
  echo "format: all ${#files[@]} files as .clang-format describes them"
  exit 0
fi
differing=0
for f in "${files[@]}"; do
  if ! out="$("$format" --dry-run --Werror --ferror-limit=1 --style=file "$f" 2>&1)"; then
    head -n 3 <<<"$out"
    differing=$((differing + 1))
  fi
done
echo "format: $differing of ${#files[@]} files differ from .clang-format"
exit 1
