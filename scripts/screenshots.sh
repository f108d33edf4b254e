#!/bin/sh
# Pictures of the editor as a user sees it: the main window on the sample
# dictionary, the usage gauge, the settings dialog, the window, a question
# and the file dialog under the Russian pack, and the window over a
# virtual phone holding the sample while Open from Phone reads it and once
# it has, saved as PNG files into build/screenshots (or the folder given as
# the first argument).
# Needs the built test program vexlon-screenshots, the data beside the
# executables and xvfb-run.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLON_BUILD:-$root/build}
out=${1:-$build/screenshots}
bin=$build/bin
shooter=$build/tests/bin/vexlon-screenshots
if [ ! -x "$shooter" ]; then
  echo "screenshots.sh: $shooter is missing; build the vexlon-screenshots target first" >&2
  exit 1
fi
mkdir -p "$out"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
# A configuration of its own: the windows as a new user first sees them,
# never with the sizes and folders of whoever runs this.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config
cd "$bin"
QT_QPA_PLATFORM=xcb timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$shooter" "$out" "$bin" "$bin/samples/sample.iud"
ls "$out"/main-window.png "$out"/usage-gauge.png "$out"/settings.png \
  "$out"/main-window-ru.png "$out"/question-ru.png "$out"/open-dialog-ru.png \
  "$out"/phone-reading.png "$out"/phone-connected.png "$out"/merge-preview.png
