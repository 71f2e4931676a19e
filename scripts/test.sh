#!/usr/bin/env bash
# Builds the whole suite and runs every test with CTest: by default with
# AddressSanitizer and UndefinedBehaviorSanitizer (in build-test), with
# --release as an optimised build without sanitizers (in build-test-release),
# where the allocator and the timing are those users get. The optimised build
# runs every test three times: a test that passes only by luck shows there.
#
#     bash scripts/test.sh [--release]
set -euo pipefail
cd "$(dirname "$0")/.."

case ${1:-} in
    "")
        folder=build-test options=(-DCMAKE_BUILD_TYPE=Debug -DVARN_SANITIZE=ON) repeat=()
        ;;
    --release)
        folder=build-test-release options=(-DCMAKE_BUILD_TYPE=Release -DVARN_SANITIZE=OFF)
        repeat=(--repeat until-fail:3)
        ;;
    *)
        echo "usage: $0 [--release]" >&2
        exit 2
        ;;
esac

bash scripts/deps.sh
cmake -S . -B "$folder" -G Ninja "${options[@]}" -DVARN_TESTS=ON -DVARN_BENCH=ON >/dev/null
cmake --build "$folder" --parallel "$(nproc)"
cd "$folder"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --parallel "$(nproc)" --timeout 300 "${repeat[@]}"
