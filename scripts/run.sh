#!/usr/bin/env bash
# Installs what is missing, builds the explorer and starts it on the demo repository: when the
# repository in the platform home holds no application yet, it is filled from samples/ first.
# Arguments are passed on to kivexplorer.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# A window needs a screen; say so before spending minutes on a build.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  cat >&2 <<'MSG'
kivexplorer is a window program, and there is no display here (DISPLAY is not set).
Start it from a desktop session, or on a virtual screen:
  bash scripts/setup.sh && xvfb-run -a -s '-screen 0 1280x800x24' bash scripts/run.sh
To see what it looks like without a screen, take a picture of it:
  bash scripts/screenshot.sh explorer.png
MSG
  exit 1
fi

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target kivexplorer kivrepo
exec build/release/src/app/kivexplorer --demo "$root/samples" "$@"
