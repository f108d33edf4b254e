#!/usr/bin/env bash
# Installs what is missing, builds, and opens the bundled sample dictionary.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
bin="$root/build/bin"
"$bin/vexlon-cli" show "$bin/samples/sample.iud"
