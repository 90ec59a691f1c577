#!/usr/bin/env bash
# Times kivrepo's project export and import against copying the same folder with cp -r in the
# same run. The project: 50 applications, 2,000 modules, 100,000 entities (change with
#   APPS=.. MODULES=.. ENTITIES=.. SOURCE=.. bash scripts/bench_project_transfer.sh).
# Builds kivrepo and the AEF generator from the release preset first. Everything happens in a
# temporary folder (kept with KEEP=1). Goal: export <= 4 x copy, import <= 10 x copy.
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
    "$kivrepo" import-aef "$file" "$name" --project Big >/dev/null
done <"$work/list"
t1=$(now)

# Each step runs RUNS times (3 by default) into a fresh place and the fastest run counts: the
# machine is shared, and the slower runs measure the neighbours more than the program. Both the
# elapsed time and the processor time (user + system) are kept: on a busy machine the elapsed
# time of a long run also holds the time it waited for a processor.
RUNS=${RUNS:-3}
TIMEFORMAT='%R %U %S'
# Fastest elapsed time, and fastest processor time, of a file of "real user sys" lines.
best_real() { awk 'NR == 1 || $1 < m { m = $1 } END { printf "%.3f", m }' "$1"; }
best_cpu() { awk 'NR == 1 || $2 + $3 < m { m = $2 + $3 } END { printf "%.3f", m }' "$1"; }
for r in $(seq "$RUNS"); do
    rm -rf "$work/out"
    mkdir -p "$work/out"
    sync
    { time "$kivrepo" export-project "$work/out" --project Big >/dev/null; } 2>>"$work/export.times"
done
for r in $(seq "$RUNS"); do
    rm -rf "$work/copy"
    sync
    { time cp -r "$work/out/Big" "$work/copy"; } 2>>"$work/copy.times"
done
for r in $(seq "$RUNS"); do
    export KIV_HOME=$work/home-import-$r
    { time "$kivrepo" import-project "$work/out/Big/Big.KPI" --name Big2 --path "$work/prj-import-$r" \
        --create-path >/dev/null; } 2>>"$work/import.times"
done

bytes=$(du -sb "$work/out/Big" | cut -f1)
printf 'project: %d applications, %d modules, %d entities, %d bytes of AEF files\n' \
    "$APPS" "$MODULES" "$ENTITIES" "$bytes"
printf 'building the repository (kivrepo import-aef x %d): %.2f s\n' "$APPS" "$(seconds "$t0" "$t1")"
printf 'best of %d runs each           elapsed              processor (user + system)\n' "$RUNS"
line() {
    local what=$1 file=$2 goal=$3
    local real cpu
    real=$(best_real "$work/$file.times")
    cpu=$(best_cpu "$work/$file.times")
    if [ -z "$goal" ]; then
        printf '%-30s %8s s             %8s s\n' "$what" "$real" "$cpu"
    else
        printf '%-30s %8s s (%5s x)    %8s s (%5s x)   goal <= %s x\n' "$what" "$real" \
            "$(ratio "$real" "$copy_real")" "$cpu" "$(ratio "$cpu" "$copy_cpu")" "$goal"
    fi
}
copy_real=$(best_real "$work/copy.times")
copy_cpu=$(best_cpu "$work/copy.times")
line "cp -r of the export folder" copy ""
line "kivrepo export-project" export 4
line "kivrepo import-project" import 10
