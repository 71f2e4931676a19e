#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARN_SANITIZE=ON \
      -DVARN_TESTS=ON -DVARN_BENCH=ON >/dev/null
cmake --build build-test --parallel "$(nproc)"
cd build-test
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
