#!/usr/bin/env bash
# Installs what is missing, builds, and opens the editor on the bundled
# sample dictionary. Without a display the window is drawn on a virtual one
# (Xvfb) and a picture of it is saved to build/screenshots; the sample is also
# listed with the command-line tool.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
bin="${VEXLON_BUILD:-$root/build}/bin"
sample="$bin/samples/sample.iud"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin/vexlon" "$sample"
fi
echo "No display: listing the sample with vexlon-cli and taking pictures of the editor under Xvfb."
"$bin/vexlon-cli" show "$sample"
bash "$root/scripts/screenshots.sh"
