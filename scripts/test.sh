#!/usr/bin/env bash
# Installs what is missing, builds everything (benchmarks included) and runs every test.
#   scripts/test.sh          debug build in build/debug
#   scripts/test.sh asan     the same under AddressSanitizer and UndefinedBehaviorSanitizer
# KIV_WERROR=ON turns compiler warnings into errors (CI sets it).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-debug}

bash scripts/setup.sh
# When ccache is on the machine, rebuilds (and builds of other checkouts) reuse its objects.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset "$preset" -DKIV_WERROR="${KIV_WERROR:-OFF}" "${launcher[@]}" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" --no-tests=error -j "$(nproc)"
