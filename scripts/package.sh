#!/usr/bin/env bash
# Builds the Debian package: a release build in build-deb/, then cpack -G DEB.
# The package lands in build-deb/ (its path is printed last); with --lintian it
# is checked too, and any lintian error fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARN_SANITIZE=OFF \
      -DVARN_TESTS=OFF -DVARN_BENCH=OFF >/dev/null
cmake --build build-deb --parallel "$(nproc)"
(cd build-deb && cpack -G DEB >/dev/null)
package=$(ls -t build-deb/varnsplit_*.deb | head -n 1)
if [[ "${1:-}" == "--lintian" ]]; then
    # Errors fail; warnings and notes are shown but do not.
    lintian --fail-on error --tag-display-limit 0 "$package"
fi
echo "$package"
