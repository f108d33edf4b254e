#!/usr/bin/env bash
# Installs what is missing, builds, runs every test, takes pictures of the
# editor under Xvfb, then runs each fuzz target briefly under the sanitizers.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
( cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300 )
bash "$root/scripts/screenshots.sh"
bash "$root/scripts/fuzz.sh"
