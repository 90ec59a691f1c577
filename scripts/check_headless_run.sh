#!/usr/bin/env bash
# Runs scripts/run.sh as on a server (no display) from an empty working folder and checks that
# it ends well, that every file it names exists and is not empty, and that the demo's project,
# application and PRG exports and the picture of the window are among them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bash "$root/scripts/run.sh") >"$work/said"
named=$(grep '^demo-out/' "$work/said" || true)
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
while read -r file; do
  [[ -s "$work/$file" ]] || fail "run.sh names $file, which is missing or empty"
done <<<"$named"
for pattern in 'project/Warehouse/Warehouse\.KPI' 'project/Warehouse/Warehouse\.log' \
  'project/Warehouse/.*\.AEF' 'app/Inventory/Inventory\.KAI' 'app/Inventory/Inventory\.log' \
  'app/Inventory/.*\.AEF' 'prg/Inventory/Inventory\.KEA' 'prg/Inventory/Inventory\.log' \
  'prg/Inventory/.*\.prg' 'explorer\.png'; do
  grep -qx "demo-out/$pattern" <<<"$named" || fail "run.sh names no demo-out/$pattern"
done
[[ "$(head -c 8 "$work/demo-out/explorer.png" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] ||
  fail "demo-out/explorer.png is not a PNG"
grep -q 'bash scripts/run.sh' "$work/said" || fail "run.sh does not say how to open the window"
# Every AEF the project's .KPI lists (a DOS path) was written beside it.
while read -r aef; do
  [[ -s "$work/demo-out/project/Warehouse/$aef" ]] || fail "Warehouse.KPI lists $aef, which is missing"
done < <(sed -n 's/^AEF=.*\\//p' "$work/demo-out/project/Warehouse/Warehouse.KPI" | tr -d '\r')

if ((failures > 0)); then
  sed 's/^/run.sh: /' "$work/said" >&2
  exit 1
fi
echo "run.sh without a display wrote the $(wc -l <<<"$named") files it names"
