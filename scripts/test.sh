#!/usr/bin/env bash
# Installs what is missing, builds everything (benchmarks included) and runs every test.
#   scripts/test.sh          debug build in build/debug
#   scripts/test.sh asan     the same under AddressSanitizer and UndefinedBehaviorSanitizer
# KIV_WERROR=ON turns compiler warnings into errors (CI sets it).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-debug}

bash scripts/setup.sh
cmake --preset "$preset" -DKIV_WERROR="${KIV_WERROR:-OFF}" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" --no-tests=error -j "$(nproc)"
