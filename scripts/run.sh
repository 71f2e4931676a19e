#!/usr/bin/env bash
# Builds Varn split (program and stub) and runs it; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARN_TESTS=OFF -DVARN_BENCH=OFF >/dev/null
cmake --build build --parallel "$(nproc)"
exec build/bin/varnsplit "$@"
