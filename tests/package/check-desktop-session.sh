#!/usr/bin/env bash
# Checks tools/desktop-session.sh: the command runs on a server of its own with the size asked
# for, its exit status comes back, the window manager, the accessibility bus and the font
# resolution are there when asked for, a server that does not start is reported, and nothing is
# left running afterwards.
#
#   check-desktop-session.sh GUSTRULE     (the window program, for the accessibility check)
#
# Exits 77 (skipped) where Xvfb is not installed (tools/setup-debian.sh desktop).
set -u
gustrule=$1
here=$(cd "$(dirname "$0")" && pwd)
session=$here/../../tools/desktop-session.sh
source "$here/checks.sh"
command -v Xvfb >/dev/null || { echo "Xvfb is not installed; skipped"; exit 77; }

# The command reports its display, the screen's size, the pid in the display's lock file and the
# pid of a process it leaves running, then exits with 7.
report=$(bash "$session" --size 640x480 -- bash -c '
  echo "$DISPLAY"
  xdpyinfo | sed -n "s/.*dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p"
  tr -d " " <"/tmp/.X${DISPLAY#:}-lock"
  sleep 300 &
  echo $!
  exit 7')
status=$?
display=$(sed -n 1p <<<"$report") size=$(sed -n 2p <<<"$report")
server=$(sed -n 3p <<<"$report") left=$(sed -n 4p <<<"$report")
check "the command's exit status comes back (got $status)" [ "$status" = 7 ]
check "DISPLAY is set (got '$display')" bash -c "[[ '$display' =~ ^:[0-9]+\$ ]]"
check "the screen is 640x480 (got '$size')" [ "$size" = 640x480 ]
check "the display's lock names a server" bash -c "[[ '$server' =~ ^[0-9]+\$ ]]"
gone() { ! kill -0 "$1" 2>/dev/null; }
check "the server has ended" gone "${server:-0}"
check "the server's lock file is gone" [ ! -e "/tmp/.X${display#:}-lock" ]
check "what the command left running has ended" gone "${left:-0}"

resources=$(bash "$session" --dpi 192 -- xrdb -query)
check "--dpi: the session's Xft.dpi is 192 ($resources)" grep -qx $'Xft.dpi:\t192' <<<"$resources"

managed=$(bash "$session" --wm -- xprop -root _NET_SUPPORTING_WM_CHECK)
check "--wm: a window manager manages the screen ($managed)" grep -q 'window id' <<<"$managed"

# Under AddressSanitizer's strict_string_checks (tools/sanitize.sh) Qt's X11 platform aborts at
# start in libxkbcommon-x11, which hands strndup a string without a terminating NUL; the check is
# of the session, so the program runs without that one option.
listed() {
  local asan=${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0
  ASAN_OPTIONS=$asan bash "$session" --a11y -- bash -c '
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$1" 2>/dev/null &
    for _ in $(seq 50); do
      /usr/bin/python3 -c "
import pyatspi
desktop = pyatspi.Registry.getDesktop(0)
names = [desktop.getChildAtIndex(i).name for i in range(desktop.childCount)]
raise SystemExit(0 if \"gustrule\" in names else 1)" 2>/dev/null && exit 0
      sleep 0.2
    done
    exit 1' _ "$gustrule"
}
check "--a11y: the window program is listed by pyatspi" listed

# An X server that cannot start: reported, with its own message, and status 125.
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
printf '#!/bin/sh\necho "cannot open the screen" >&2\nexit 1\n' >"$fake/Xvfb"
chmod +x "$fake/Xvfb"
failure=$(PATH=$fake:$PATH bash "$session" -- true 2>&1)
status=$?
check "a server that does not start gives 125 (got $status)" [ "$status" = 125 ]
check "and says so: $(tr '\n' ' ' <<<"$failure")" grep -q 'did not start' <<<"$failure"
check "and shows the server's message" grep -q 'cannot open the screen' <<<"$failure"

bash "$session" --no-such-option -- true 2>/dev/null
status=$?
check "an unknown option gives 125 (got $status)" [ "$status" = 125 ]

finish
