#!/usr/bin/env bash
# Times kivrepo's import-aef, export-aef, inspect, list and list --source of one large AEF
# (1 application, 1,000 modules, 100,000 entities of about 1 KB of source: 126 MB) and gives
# each one's peak memory, beside cp of the same file, all in one run. Peak RSS (from
# /usr/bin/time) counts the pages of a file mapped for reading; RssAnon, sampled from
# /proc/PID/status every few milliseconds, is what the program allocated itself.
# MODULES, ENTITIES, SOURCE change the file; RUNS (3) the runs per command, of which the one with
# the least processor time (user + system) counts. KIVREPO and GEN name other binaries to time.
set -euo pipefail
cd "$(dirname "$0")/.."
MODULES=${MODULES:-1000}
ENTITIES=${ENTITIES:-100000}
SOURCE=${SOURCE:-1000}
RUNS=${RUNS:-3}

if [ -z "${KIVREPO:-}" ] && [ -z "${NO_BUILD:-}" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release -j2 --target kivrepo gen_project_aefs >/dev/null
fi
kivrepo=${KIVREPO:-$PWD/build/release/src/cli/kivrepo}
gen=${GEN:-$PWD/build/release/bench/gen_project_aefs}

work=$(mktemp -d /tmp/kivbench-memory-XXXXXX)
if [ -z "${KEEP:-}" ]; then trap 'rm -rf "$work"' EXIT; fi
export KIV_HOME=$work/home
"$gen" "$work/aef" 1 "$MODULES" "$ENTITIES" "$SOURCE" >"$work/list"
read -r app aef <"$work/list"
"$kivrepo" create-project Big "$work/prj" >/dev/null
"$kivrepo" select-project Big >/dev/null

# Runs a command once; appends "elapsed user sys peakRSS-KB peakRssAnon-KB" to the file $1.
measure() {
    local file=$1
    shift
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.out" "$@" >/dev/null &
    local timer=$! pid="" anon=0 line value
    while [ -z "$pid" ] && kill -0 "$timer" 2>/dev/null; do
        pid=$(pgrep -P "$timer" || true)
    done
    while [ -n "$pid" ] && [ -r "/proc/$pid/status" ]; do
        while IFS= read -r line; do
            if [[ $line == RssAnon:* ]]; then
                value=${line//[!0-9]/}
                ((value > anon)) && anon=$value
                break
            fi
        done <"/proc/$pid/status" 2>/dev/null || true
        sleep 0.004
    done
    wait "$timer"
    echo "$(cat "$work/time.out") $anon" >>"$file"
}

for r in $(seq "$RUNS"); do
    measure "$work/import.runs" "$kivrepo" import-aef "$aef" "$app"
done
for r in $(seq "$RUNS"); do
    rm -f "$work/out.aef"
    sync
    measure "$work/export.runs" "$kivrepo" export-aef "$app" "$work/out.aef"
done
for r in $(seq "$RUNS"); do
    measure "$work/inspect.runs" "$kivrepo" inspect "$aef"
done
for r in $(seq "$RUNS"); do
    measure "$work/list.runs" "$kivrepo" list
done
for r in $(seq "$RUNS"); do
    measure "$work/source.runs" "$kivrepo" list --source
done
for r in $(seq "$RUNS"); do
    rm -f "$work/copy.aef"
    sync
    measure "$work/cp.runs" cp "$aef" "$work/copy.aef"
done

bytes=$(stat -c %s "$aef")
printf 'AEF: %d modules, %d entities, %d bytes; best of %d runs by processor time\n' \
    "$MODULES" "$ENTITIES" "$bytes" "$RUNS"
printf '%-26s %9s %9s %10s %12s\n' "" "elapsed" "cpu" "peak RSS" "peak RssAnon"
show() {
    awk -v what="$1" 'NR == 1 || $2 + $3 < best { best = $2 + $3; line = $0 }
        END { split(line, f, " ");
              printf "%-26s %7.2f s %7.2f s %7.1f MB %10.1f MB\n", what, f[1], f[2] + f[3], f[4] / 1024, f[5] / 1024 }' "$2"
}
show "cp of the AEF" "$work/cp.runs"
show "kivrepo import-aef" "$work/import.runs"
show "kivrepo export-aef" "$work/export.runs"
show "kivrepo inspect" "$work/inspect.runs"
show "kivrepo list" "$work/list.runs"
show "kivrepo list --source" "$work/source.runs"
