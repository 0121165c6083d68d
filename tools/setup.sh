#!/usr/bin/env bash
# Installs the dependencies, builds qualty and runs its main job on bundled data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUALTY_TESTS=OFF -DQUALTY_BENCH=OFF
cmake --build build -j"$(nproc)"
build/bin/qualty demo --out qualty-demo
# To put qualty on the PATH (the module, string table and data go to
# PREFIX/lib/qualty, a link to qualty to PREFIX/bin):
echo "Install with: cmake --install build --prefix /usr/local"
