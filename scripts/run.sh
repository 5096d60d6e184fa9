#!/usr/bin/env bash
# Builds Vellumkit and the bundled Commence-compatible server, registers the
# demo databases (only those not registered yet) and starts the editor; without
# a display it runs a short tour of the command-line tool instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# A folder of its own: the run build is Release without tests, and must not
# reconfigure a developer's `build` folder.
build=build-run
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVK_BUILD_TESTS=OFF -DVK_BUILD_BENCH=OFF
# Only what the road of a script needs: the editor, its command-line tool, the
# Commence-compatible server and the setup that registers the demo databases.
cmake --build "$build" --target vellumkit vellumkit-cli commence-server vellumkit-setup

if [ -x "$build/bin/vellumkit-setup" ]; then
  "$build/bin/vellumkit-setup"
fi

# Without a display an editor window would be invisible and wait forever: show
# the command-line tool at work instead, and how to start the editor.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec scripts/cli-tour.sh "$build/bin"
fi
exec "$build/bin/vellumkit" "$@"
