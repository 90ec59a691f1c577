#!/usr/bin/env bash
# Times kivrepo export-prg and import-prg of one application of 500 modules with 50 entities each
# (25,000 entities) against `cp -r` of the exported folder, all in one run on this machine.
# MODULES, ENTITIES (per module) and ROUNDS change the size and the number of rounds; each figure
# printed is the best of the rounds, in milliseconds.
set -euo pipefail
cd "$(dirname "$0")/.."

modules=${MODULES:-500}
entities=${ENTITIES:-50}
rounds=${ROUNDS:-3}

bash scripts/setup.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake --preset release "${launcher[@]}" >/dev/null
cmake --build --preset release -j2 --target kivrepo >/dev/null
kivrepo=$PWD/build/release/src/cli/kivrepo

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
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

now() { date +%s%N; }
best_export=0 best_import=0 best_cp=0
for ((round = 1; round <= rounds; ++round)); do
  rm -rf "$work/prg" "$work/copy"
  start=$(now); "$kivrepo" export-prg Big "$work/prg" >/dev/null; end=$(now)
  export_ms=$(((end - start) / 1000000))
  start=$(now); cp -r "$work/prg" "$work/copy"; end=$(now)
  cp_ms=$(((end - start) / 1000000))
  start=$(now); "$kivrepo" import-prg "$work/prg/Big/Big.KEA" --rename "Copy$round" >/dev/null; end=$(now)
  import_ms=$(((end - start) / 1000000))
  ((round == 1 || export_ms < best_export)) && best_export=$export_ms
  ((round == 1 || import_ms < best_import)) && best_import=$import_ms
  ((round == 1 || cp_ms < best_cp)) && best_cp=$cp_ms
done

files=$(find "$work/prg/Big" -type f | wc -l)
bytes=$(du -sb "$work/prg/Big" | cut -f1)
echo "application: $modules modules, $((modules * entities)) entities; output: $files files, $bytes bytes"
echo "export-prg: ${best_export} ms"
echo "import-prg: ${best_import} ms"
echo "cp -r:      ${best_cp} ms"
