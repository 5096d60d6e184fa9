#!/usr/bin/env bash
# Builds Vellumkit and the bundled Commence-compatible server, registers the
# demo databases (only those not registered yet) and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# A folder of its own: the run build is Release without tests, and must not
# reconfigure a developer's `build` folder.
build=build-run
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVK_BUILD_TESTS=OFF -DVK_BUILD_BENCH=OFF
# Only what the road of a script needs: the editor, the Commence-compatible
# server and the setup that registers the demo databases.
cmake --build "$build" --target vellumkit commence-server vellumkit-setup

if [ -x "$build/bin/vellumkit-setup" ]; then
  "$build/bin/vellumkit-setup"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Vellumkit on a virtual X server (xvfb-run)."
  exec xvfb-run -a "$build/bin/vellumkit" "$@"
fi
exec "$build/bin/vellumkit" "$@"
