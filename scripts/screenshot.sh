#!/usr/bin/env bash
# Takes a picture of the explorer on the demo repository: builds kivexplorer, starts it on a
# virtual screen with a platform home of its own (never yours), selects a module and writes the
# window as a PNG, then ends the program.
#   bash scripts/screenshot.sh OUT.png [PROJECT/APPLICATION/MODULE] [OPTION...]
# Options after the module are passed to kivexplorer:
#   --row NAME        select the entity NAME in the list (its source shows in the pane)
#   --find TEXT       open the find entity box with TEXT typed
#   --search TEXT     find TEXT in the sources of every project
# and one more is the script's own:
#   --open-aef APP    export the demo application APP as an AEF and open that file beside the
#                     repository
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: bash scripts/screenshot.sh OUT.png [PROJECT/APPLICATION/MODULE] [OPTION...]" >&2
  exit 2
fi
out=$1
shift
[[ "$out" == /* ]] || out="$PWD/$out"
select="Warehouse/Inventory/Stock Window"
if [[ $# -gt 0 && "$1" != --* ]]; then
  select=$1
  shift
fi
openAef=""
passed=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --open-aef) openAef=$2; shift 2 ;;
    *) passed+=("$1"); shift ;;
  esac
done
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kivexplorer kivrepo

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
if [[ -n "$openAef" ]]; then
  file="$home/$(echo "$openAef" | tr -d ' ' | tr '[:upper:]' '[:lower:]').aef"
  KIV_HOME="$home" build/release/src/cli/kivrepo load-demo "$root/samples" >/dev/null
  KIV_HOME="$home" build/release/src/cli/kivrepo export-aef "$openAef" "$file"
  passed+=("$file")
fi
rm -f "$out"
KIV_HOME="$home" XDG_RUNTIME_DIR="$home/run" timeout 120 xvfb-run -a -s '-screen 0 1280x800x24' \
  build/release/src/app/kivexplorer --demo "$root/samples" --select "$select" --screenshot "$out" \
  ${passed[@]+"${passed[@]}"}
if [[ ! -s "$out" ]]; then
  echo "No picture was written to $out" >&2
  exit 1
fi
echo "Wrote $out"
