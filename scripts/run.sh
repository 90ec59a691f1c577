#!/usr/bin/env bash
# Installs what is missing, builds the explorer and starts it on the demo repository: when the
# repository in the platform home holds no application yet, it is filled from samples/ first.
# Arguments are passed on to kivexplorer.
# Without a display it shows the main work instead: in a platform home of its own it fills the
# demo repository and writes, into demo-out/ in the working folder, the demo project as AEF files
# with its .KPI and log, its application Inventory with the libraries it uses and the .KAI, the
# same application as PRG files with the .KEA, and a picture of the window on that repository.
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kivexplorer kivrepo >&2

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" || -n "${QT_QPA_PLATFORM:-}" ]]; then
  exec build/release/src/app/kivexplorer --demo "$root/samples" "$@"
fi

kivrepo=$root/build/release/src/cli/kivrepo
kivexplorer=$root/build/release/src/app/kivexplorer
out=$here/demo-out
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export KIV_HOME=$home/home XDG_RUNTIME_DIR=$home/run
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# Only what this script writes is replaced; anything else in demo-out/ stays.
mkdir -p "$out"
rm -rf "$out/project/Warehouse" "$out/app/Inventory" "$out/prg/Inventory" "$out/explorer.png"
mkdir -p "$out/project" "$out/app" "$out/prg"

"$kivrepo" load-demo "$root/samples" >/dev/null
"$kivrepo" export-project "$out/project" --project Warehouse >/dev/null
"$kivrepo" export-app Inventory "$out/app" --project Warehouse >/dev/null
"$kivrepo" export-prg Inventory "$out/prg" --project Warehouse >/dev/null
QT_QPA_PLATFORM=offscreen "$kivexplorer" --select "Warehouse/Inventory/Stock Window" \
  --screenshot "$out/explorer.png" 2>"$home/explorer.err" || {
  cat "$home/explorer.err" >&2
  exit 1
}

echo "There is no display here, so instead of the window this is what the program did with the"
echo "demo repository (filled from samples/ in a platform home of its own, removed again):"
for folder in project/Warehouse app/Inventory prg/Inventory; do
  (cd "$here" && find "demo-out/$folder" -type f | LC_ALL=C sort)
done
echo "demo-out/explorer.png"
cat <<'MSG'
To open the window on a machine with a display: bash scripts/run.sh
On a virtual screen here: xvfb-run -a -s '-screen 0 1280x800x24' bash scripts/run.sh
MSG
