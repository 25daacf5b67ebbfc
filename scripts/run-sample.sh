#!/bin/sh
# Installs what the build needs, builds, and runs the main job on the bundled sample.
# Until the console program exists, the main job is the toolkit's tests.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
(cd build && ctest --output-on-failure)
