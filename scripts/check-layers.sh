#!/usr/bin/env bash
# Checks the include direction of the layers: each core folder includes only
# itself and the folders below it (model <- output <- plot <- scan), the core
# includes no Qt, and the window (app) and the command line (cli) stay apart.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

allowed() {
  case "$1" in
    model) echo "model" ;;
    output) echo "model output" ;;
    plot) echo "model output plot" ;;
    scan) echo "model output plot scan" ;;
    app) echo "model output plot scan app" ;;
    cli) echo "model output plot scan cli" ;;
  esac
}

status=0
for folder in model output plot scan app cli; do
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
exit $status
