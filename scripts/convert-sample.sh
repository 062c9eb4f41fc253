#!/usr/bin/env bash
# Installs what is missing, builds the program and converts the bundled
# sample picture into build/sample-output/sample.bmp.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target tornquil >build/build.log || { cat build/build.log; exit 1; }
mkdir -p build/sample-output
./build/tornquil -i "$PWD/assets/sample.pcx" -o "$PWD/build/sample-output" "$@"
