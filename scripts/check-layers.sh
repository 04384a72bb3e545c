#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the include direction of the layers: each core folder includes only
# itself and the folders below it (lanes <- model <- output <- plot <- scan <- fit),
# the core includes no Qt, and the window (app) and the command line (cli)
# stay apart; the Python module (python) sits on the core beside them.
#
# Given a build folder, it also checks the objects of the vector forms: none
# may define a weak function outside its own instruction-set namespace. An
# inline function emitted there as a weak (COMDAT) copy is compiled for that
# instruction set, and the linker may pick that copy for every caller of the
# function, the scalar ones on an older processor included. (Weak data, such
# as the type information that the sanitizers' checks of indirect calls add,
# holds no instructions.)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-}"

allowed() {
  case "$1" in
    lanes) echo "lanes" ;;
    model) echo "lanes model" ;;
    output) echo "lanes model output" ;;
    plot) echo "lanes model output plot" ;;
    scan) echo "lanes model output plot scan" ;;
    fit) echo "lanes model output plot scan fit" ;;
    app) echo "lanes model output plot scan app" ;;
    cli) echo "lanes model output plot scan fit cli" ;;
    python) echo "lanes model output plot scan python" ;;
  esac
}

status=0
for folder in lanes model output plot scan fit app cli python; do
  ok=" $(allowed "$folder") "
  while IFS= read -r line; do
    file="${line%%:*}"
    target="$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$line")"
    if [[ "$ok" != *" $target "* ]]; then
      echo "$file includes $target/, above or beside $folder/"
      status=1
    fi
  done < <(grep -HE '^#include "[a-z]+/' "$root/$folder"/*.h "$root/$folder"/*.cpp 2>/dev/null || true)
  if [[ "$folder" != app ]] && grep -lE '^#include <Q' "$root/$folder"/*.h "$root/$folder"/*.cpp 2>/dev/null; then
    echo "Qt included outside app/"
    status=1
  fi
done
[ $status -eq 0 ] && echo "layers: every include points down"

if [ -n "$build" ]; then
  # Each vector form's objects: lanes/<Set>*.cpp, namespace tamrisk::lanes::<set>.
  for set in Avx2 Avx512; do
    namespace="tamrisk::lanes::${set,,}::"
    objects=()
    while IFS= read -r -d '' object; do
      objects+=("$object")
    done < <(find "$build/lanes" -name "${set}[A-Z]*.o" -print0 2>/dev/null)
    if [ ${#objects[@]} -eq 0 ]; then
      echo "no object of the $set form under $build/lanes: build first"
      status=1
      continue
    fi
    for object in "${objects[@]}"; do
      # Weak (W) or indirect (i) functions, names demangled.
      leaks="$(nm --defined-only --demangle "$object" |
        awk -v ns="$namespace" '$2 ~ /^[Wwi]$/ { name = $0; sub(/^[^ ]* [^ ]* /, "", name);
                                               if (index(name, ns) != 1) print name }')"
      if [ -n "$leaks" ]; then
        echo "${object#"$build"/} defines weak functions outside ${namespace%::}:"
        sed 's/^/  /' <<<"$leaks"
        status=1
      fi
    done
    [ $status -eq 0 ] && echo "lanes: the $set objects define no weak function outside ${namespace%::}"
  done
fi
exit $status
