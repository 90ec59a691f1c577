#!/usr/bin/env bash
# Times kivrepo's project export and import against copying the same folder with cp -r in the
# same run. The project: 50 applications, 2,000 modules, 100,000 entities (change with
#   APPS=.. MODULES=.. ENTITIES=.. SOURCE=.. bash scripts/bench_project_transfer.sh).
# Builds kivrepo and the AEF generator from the release preset first. Everything happens in a
# temporary folder (kept with KEEP=1). Goal: export <= 5 x copy, import <= 10 x copy.
set -euo pipefail
cd "$(dirname "$0")/.."
APPS=${APPS:-50}
MODULES=${MODULES:-2000}
ENTITIES=${ENTITIES:-100000}
SOURCE=${SOURCE:-400}

if [ -z "${NO_BUILD:-}" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release -j2 --target kivrepo gen_project_aefs >/dev/null
fi
kivrepo=$PWD/build/release/src/cli/kivrepo
gen=$PWD/build/release/bench/gen_project_aefs

work=$(mktemp -d /tmp/kivbench-project-XXXXXX)
if [ -z "${KEEP:-}" ]; then trap 'rm -rf "$work"' EXIT; fi
now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

# The repository to export: the generated AEF files imported into one project.
export KIV_HOME=$work/home1
"$gen" "$work/aef" "$APPS" "$MODULES" "$ENTITIES" "$SOURCE" >"$work/list"
"$kivrepo" create-project Big "$work/prj1" >/dev/null
t0=$(now)
while read -r name file; do
    "$kivrepo" import-aef "$file" "$name" --project Big
done <"$work/list"
t1=$(now)

# Each step runs RUNS times (3 by default) into a fresh place and the fastest run counts: the
# machine is shared, and the slower runs measure the neighbours more than the program.
RUNS=${RUNS:-3}
best() { awk 'NR == 1 || $1 < m { m = $1 } END { printf "%.3f", m }'; }
for r in $(seq "$RUNS"); do
    rm -rf "$work/out"
    mkdir -p "$work/out"
    sync
    e0=$(now)
    "$kivrepo" export-project "$work/out" --project Big >/dev/null
    e1=$(now)
    seconds "$e0" "$e1" >>"$work/export.times"; echo >>"$work/export.times"
done
for r in $(seq "$RUNS"); do
    rm -rf "$work/copy"
    sync
    c0=$(now)
    cp -r "$work/out/Big" "$work/copy"
    c1=$(now)
    seconds "$c0" "$c1" >>"$work/copy.times"; echo >>"$work/copy.times"
done
for r in $(seq "$RUNS"); do
    export KIV_HOME=$work/home-import-$r
    i0=$(now)
    "$kivrepo" import-project "$work/out/Big/Big.KPI" --name Big2 --path "$work/prj-import-$r" --create-path >/dev/null
    i1=$(now)
    seconds "$i0" "$i1" >>"$work/import.times"; echo >>"$work/import.times"
done

bytes=$(du -sb "$work/out/Big" | cut -f1)
export_s=$(best <"$work/export.times")
copy_s=$(best <"$work/copy.times")
import_s=$(best <"$work/import.times")
printf 'project: %d applications, %d modules, %d entities, %d bytes of AEF files\n' \
    "$APPS" "$MODULES" "$ENTITIES" "$bytes"
printf 'building the repository (kivrepo import-aef x %d): %.2f s\n' "$APPS" "$(seconds "$t0" "$t1")"
printf 'best of %d runs each\n' "$RUNS"
printf 'cp -r of the export folder:       %8.3f s\n' "$copy_s"
printf 'kivrepo export-project:           %8.3f s  (%s x copy, goal <= 5)\n' "$export_s" "$(ratio "$export_s" "$copy_s")"
printf 'kivrepo import-project:           %8.3f s  (%s x copy, goal <= 10)\n' "$import_s" "$(ratio "$import_s" "$copy_s")"
