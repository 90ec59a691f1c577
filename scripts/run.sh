#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments are passed on to it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kivrepo
exec build/release/src/cli/kivrepo "${@:-home}"
