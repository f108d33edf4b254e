#!/usr/bin/env bash
# Records what passes between Vexlon and a real Motorola phone, for a bug
# report. With the phone plugged in (in AT or P2K mode) run
#
#   scripts/record-phone-session.sh [OUTDIR]
#
# It needs umockdev-record (Debian: apt install umockdev) and vexlon-cli (found
# beside this script in build/bin, on PATH, or named by VEXLON_CLI), and
# access to the phone as for Vexlon itself (the udev rule). It writes, into
# OUTDIR (default: vexlon-phone-session-DATE):
#
#   modem.umockdev   the phone's sysfs devices in AT mode      (AT mode only)
#   modem.script     what `vexlon-cli phone switch` wrote to
#                    the modem tty and read from it             (AT mode only)
#   phone.umockdev   the phone's sysfs devices in P2K mode:
#                    the USB device with its descriptors, its interfaces
#   phone-read.ioctl the usbfs ioctls of `vexlon-cli phone read`
#                    (every control transfer with its data)
#   dictionary.iud   the dictionary that read got
#   trace.txt        vexlon-cli's own report of the same runs (--trace)
#
# Attach the folder (or the .tar.gz made of it) to the report. Note that the
# recording holds the words of your dictionary and your phone's identity.
#
# A developer replays it without the phone:
#   umockdev-run --device phone.umockdev -- vexlon-cli phone list
# and the transfers with the emulated bus of the tests (see
# src/phone/linux/README.md, "Recording a session").
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-vexlon-phone-session-$(date +%Y%m%d-%H%M%S)}"

cli="${VEXLON_CLI:-}"
if [ -z "$cli" ]; then
  for candidate in "$here/../build/bin/vexlon-cli" "$(command -v vexlon-cli || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then cli="$candidate"; break; fi
  done
fi
[ -n "$cli" ] || { echo "record-phone-session: vexlon-cli not found (set VEXLON_CLI)" >&2; exit 1; }
command -v umockdev-record >/dev/null \
  || { echo "record-phone-session: umockdev-record is missing (apt install umockdev)" >&2; exit 1; }

# The sysfs folder of the first Motorola device (vendor 22b8) on USB.
find_phone() {
  local d
  for d in /sys/bus/usb/devices/*; do
    if [ -f "$d/idVendor" ] && [ "$(cat "$d/idVendor")" = "22b8" ]; then
      readlink -f "$d"
      return 0
    fi
  done
  return 1
}

# The device, its interfaces and their ttys, as umockdev-record arguments.
sysfs_of() {
  local dev="$1" name
  name="$(basename "$dev")"
  echo "$dev"
  find "$dev" -maxdepth 1 -name "$name:*" -type d
  find "$dev" -mindepth 3 -maxdepth 3 -path "*/tty/tty*" -type d
}

# The modem tty of an AT-mode phone, empty in P2K mode.
tty_of() {
  find "$1" -mindepth 3 -maxdepth 3 -path "*/tty/tty*" -type d | head -n 1
}

wait_for_p2k() {
  local dev
  for _ in $(seq 1 40); do
    if dev="$(find_phone)" && [ -z "$(tty_of "$dev")" ]; then
      echo "$dev"; return 0
    fi
    sleep 0.5
  done
  return 1
}

dev="$(find_phone)" || { echo "record-phone-session: no Motorola phone is attached" >&2; exit 1; }
mkdir -p "$out"
: > "$out/trace.txt"

tty="$(tty_of "$dev")"
if [ -n "$tty" ]; then
  node="/dev/$(basename "$tty")"
  echo "The phone is in AT mode ($node): recording the switch to P2K mode"
  # shellcheck disable=SC2046
  umockdev-record $(sysfs_of "$dev") > "$out/modem.umockdev"
  umockdev-record --script "$node=$out/modem.script" -- "$cli" --trace phone switch 2>>"$out/trace.txt"
  dev="$(wait_for_p2k)" || { echo "record-phone-session: the phone did not come back in P2K mode" >&2; exit 1; }
fi

node="/dev/bus/usb/$(printf %03d "$(cat "$dev/busnum")")/$(printf %03d "$(cat "$dev/devnum")")"
echo "The phone is in P2K mode ($node): recording a read of its dictionary"
# shellcheck disable=SC2046
umockdev-record $(sysfs_of "$dev") > "$out/phone.umockdev"
umockdev-record --ioctl "$node=$out/phone-read.ioctl" -- \
  "$cli" --trace phone read "$out/dictionary.iud" 2>>"$out/trace.txt" \
  || echo "record-phone-session: the read failed; the recording shows how (see trace.txt)" >&2

tar -czf "$out.tar.gz" -C "$(dirname "$out")" "$(basename "$out")"
echo "Recorded into $out/ and $out.tar.gz; attach the .tar.gz to the report."
