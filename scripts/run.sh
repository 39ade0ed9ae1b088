#!/usr/bin/env bash
# Installs what is missing, builds Orvalen and starts it; arguments go to Orvalen
# (e.g. --encoding GBK).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting Orvalen under xvfb-run (nothing will be visible)." >&2
    exec xvfb-run -a ./build/ui/Orvalen "$@"
fi
exec ./build/ui/Orvalen "$@"
