#!/usr/bin/env bash
# Installs what is missing, builds a release build of Tarvo and starts it with the given files.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "run.sh: Tarvo is built (build/release/src/app/tarvo) but there is no display to show it on." >&2
    echo "Start it from a desktop session, or under Xvfb: xvfb-run ./run.sh" >&2
    exit 1
fi
exec build/release/src/app/tarvo "$@"
