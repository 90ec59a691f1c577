#!/usr/bin/env bash
# Takes a picture of the explorer on the demo repository: builds kivexplorer, starts it on a
# virtual screen with a platform home of its own (never yours), selects a module and writes the
# window as a PNG, then ends the program.
#   bash scripts/screenshot.sh OUT.png [PROJECT/APPLICATION/MODULE]
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: bash scripts/screenshot.sh OUT.png [PROJECT/APPLICATION/MODULE]" >&2
  exit 2
fi
out=$1
[[ "$out" == /* ]] || out="$PWD/$out"
select=${2:-Warehouse/Inventory/Stock Window}
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kivexplorer

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
rm -f "$out"
KIV_HOME="$home" XDG_RUNTIME_DIR="$home/run" timeout 120 xvfb-run -a -s '-screen 0 1280x800x24' \
  build/release/src/app/kivexplorer --demo "$root/samples" --select "$select" --screenshot "$out"
if [[ ! -s "$out" ]]; then
  echo "No picture was written to $out" >&2
  exit 1
fi
echo "Wrote $out"
