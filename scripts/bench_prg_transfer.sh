#!/usr/bin/env bash
# Times kivrepo export-prg and import-prg of one application of 500 modules with 50 entities each
# (25,000 entities) against `cp -r` of the exported folder, all in one run on this machine.
# MODULES, ENTITIES (per module) and ROUNDS change the size and the number of rounds (3); each
# figure printed is the best of the rounds, elapsed and processor time (user + system), with its
# ratio to cp -r. cp -r copies the folder the export has just written, so its pages are in the
# cache, COPIES (5) times per round: a copy of 500 small files takes a few tens of milliseconds,
# and one slow copy on a busy machine would make every ratio look better than it is.
# NO_BUILD=1 times the kivrepo that is there; KEEP=1 keeps the temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."

modules=${MODULES:-500}
entities=${ENTITIES:-50}
rounds=${ROUNDS:-3}

copies=${COPIES:-5}

if [ -z "${NO_BUILD:-}" ]; then
  bash scripts/setup.sh
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake --preset release "${launcher[@]}" >/dev/null
  cmake --build --preset release -j2 --target kivrepo >/dev/null
fi
kivrepo=$PWD/build/release/src/cli/kivrepo

work=$(mktemp -d /tmp/kivbench-prg-XXXXXX)
if [ -z "${KEEP:-}" ]; then trap 'rm -rf "$work"' EXIT; fi
export KIV_HOME=$work/home

# The application as an AEF file, record by record (tag u16, length u32, data), as the IDE
# writes it: header, application name and information, then per module its name and information
# and per entity its name, type, block kind, source, prototype, display name and information.
python3 - "$work/big.aef" "$modules" "$entities" <<'PY'
import struct, sys
path, modules, entities = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
out = bytearray()
def rec(tag, data): out.extend(struct.pack('<HI', tag, len(data)) + data)
def text(tag, s): rec(tag, s.encode('cp1252') + b'\0')
rec(0x0001, struct.pack('<H', 0x0280) + b'CA-VO Application Export File\0')
rec(0x0002, b'Big'.ljust(64, b'\0'))
info = bytearray(76); info[36:40] = struct.pack('<I', 1300000000); info[40:44] = struct.pack('<I', 1200000000)
rec(0x010F, bytes(info))
for m in range(modules):
    text(0x0020, 'Module%03d' % m)
    minfo = bytearray(56); minfo[16:20] = struct.pack('<I', 1100000000); minfo[20:24] = struct.pack('<I', 1000000000)
    rec(0x010E, bytes(minfo))
    for e in range(entities):
        name = 'F%03d_%02d' % (m, e)
        text(0x0040, name)
        rec(0x0051, struct.pack('<H', 1))
        rec(0x0044, struct.pack('<H', 3))
        rec(0x004D, struct.pack('<H', 17))
        text(0x0041, 'FUNCTION %s(nValue)\r\n   LOCAL nResult := nValue * %d\r\n   // entity %d of module %d\r\nRETURN nResult' % (name, e, e, m))
        text(0x004E, 'FUNCTION %s(nValue)' % name)
        rec(0x009C, struct.pack('<H', 0))
        text(0x0123, name)
        einfo = bytearray(84); einfo[28:32] = struct.pack('<I', 1000000000); einfo[32:36] = struct.pack('<I', 1100000000)
        rec(0x010D, bytes(einfo))
rec(0xFFFF, b'')
open(path, 'wb').write(out)
PY
"$kivrepo" import-aef "$work/big.aef" Big >/dev/null

# Each timed command appends "elapsed user system" (seconds) to a file of its own.
TIMEFORMAT='%R %U %S'
for ((round = 1; round <= rounds; ++round)); do
  rm -rf "$work/prg"
  { time "$kivrepo" export-prg Big "$work/prg" >/dev/null; } 2>>"$work/export.times"
  for ((copy = 1; copy <= copies; ++copy)); do
    rm -rf "$work/copy"
    { time cp -r "$work/prg" "$work/copy"; } 2>>"$work/copy.times"
  done
  { time "$kivrepo" import-prg "$work/prg/Big/Big.KEA" --rename "Copy$round" >/dev/null; } 2>>"$work/import.times"
done

# The fastest elapsed time and the least processor time of a file of times, in milliseconds.
best_real() { awk 'NR == 1 || $1 < m { m = $1 } END { printf "%d", m * 1000 + 0.5 }' "$work/$1.times"; }
best_cpu() { awk 'NR == 1 || $2 + $3 < m { m = $2 + $3 } END { printf "%d", m * 1000 + 0.5 }' "$work/$1.times"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f", a / b; else printf "-" }'; }
cp_real=$(best_real copy)
cp_cpu=$(best_cpu copy)
files=$(find "$work/prg/Big" -type f | wc -l)
bytes=$(du -sb "$work/prg/Big" | cut -f1)
echo "application: $modules modules, $((modules * entities)) entities; output: $files files, $bytes bytes"
echo "best of $rounds rounds (cp -r: of $((rounds * copies)) copies)   elapsed          processor (user + system)"
line() {
  local what=$1 name=$2 goal=$3 real cpu
  real=$(best_real "$name")
  cpu=$(best_cpu "$name")
  if [ -z "$goal" ]; then
    printf '%-12s %6d ms             %6d ms\n' "$what" "$real" "$cpu"
  else
    printf '%-12s %6d ms (%5s x)   %6d ms    goal <= %s x (elapsed)\n' "$what" "$real" \
      "$(ratio "$real" "$cp_real")" "$cpu" "$goal"
  fi
}
line "cp -r" copy ""
line "export-prg" export 4
line "import-prg" import 6
