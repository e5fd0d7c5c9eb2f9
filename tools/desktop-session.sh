#!/usr/bin/env bash
# Runs one command inside a fresh X session of its own and ends everything it started.
#
#   tools/desktop-session.sh [--wm] [--a11y] [--size WxH] [--dpi N] -- COMMAND [ARGS...]
#
# Starts Xvfb on a free display (1280x1024x24 unless --size), waits until it answers, then runs
# COMMAND with DISPLAY set and exits with COMMAND's status.
#   --wm     also runs openbox, and waits until it manages the screen (frames, activation,
#            tooltips need a window manager);
#   --a11y   runs the whole session inside its own D-Bus session bus with the AT-SPI bus
#            started, so a Qt program run with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 can be
#            inspected with pyatspi (Debian's /usr/bin/python3);
#   --dpi N  sets the session's font resolution (the X resource Xft.dpi, as high-density
#            desktops do) to N dots per inch.
# Exit status: COMMAND's; 125 when the session cannot be set up (the reason goes to standard
# error) or the options are wrong. Xvfb's own messages go to standard error only then.
# Packages: tools/setup-debian.sh desktop.
set -euo pipefail

usage() {
  echo "usage: desktop-session.sh [--wm] [--a11y] [--size WxH] [--dpi N] -- COMMAND [ARGS...]" >&2
  exit 125
}
fail() {
  echo "desktop-session.sh: $*" >&2
  exit 125
}

wm=no a11y=no size=1280x1024 dpi=
arguments=("$@")
while (($# > 0)); do
  case $1 in
    --wm) wm=yes ;;
    --a11y) a11y=yes ;;
    --size)
      (($# > 1)) || usage
      size=$2
      shift
      ;;
    --size=*) size=${1#--size=} ;;
    --dpi)
      (($# > 1)) || usage
      dpi=$2
      shift
      ;;
    --dpi=*) dpi=${1#--dpi=} ;;
    --) shift; break ;;
    -*) echo "desktop-session.sh: unknown option '$1'" >&2; usage ;;
    *) break ;;
  esac
  shift
done
(($# > 0)) || usage
[[ $size =~ ^[1-9][0-9]{0,4}x[1-9][0-9]{0,4}$ ]] || fail "--size takes WIDTHxHEIGHT, not '$size'"
[[ -z $dpi || $dpi =~ ^[1-9][0-9]{1,3}$ ]] || fail "--dpi takes dots per inch, not '$dpi'"

for tool in Xvfb xdpyinfo xprop; do
  command -v "$tool" >/dev/null || fail "$tool is missing (tools/setup-debian.sh desktop)"
done

# Every helper runs as the leader of a process group of its own, so that stopping the group
# also stops whatever the helper started (the accessibility bus its dbus-daemon, the command
# anything it left running in the background).
started=()
log=$(mktemp)
stop_group() { # LEADER_PID
  local leader=$1 tries
  kill -TERM -- "-$leader" 2>/dev/null || return 0
  for tries in {1..30}; do
    kill -0 -- "-$leader" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL -- "-$leader" 2>/dev/null || true
}
cleanup() {
  local i
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do
    stop_group "${started[i]}"
  done
  rm -f "$log"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Starts "$@" in a new session (and so a new process group) in the background; the leader's
# pid ends up in $!. Without job control bash would give it /dev/null as standard input.
start() {
  setsid "$@" <&0 &
  started+=($!)
}
alive() { kill -0 "$1" 2>/dev/null; }

# The accessibility bus registers itself on the session bus, so the session needs one of its
# own: this script runs again inside dbus-run-session, which ends that bus when the inner run has
# finished. The bus daemon's complaints (it cannot raise its file limit in a container) go to a
# log shown only when the inner run never started; the inner run writes to the real stderr.
if [[ $a11y == yes && -z ${GUSTRULE_DESKTOP_SESSION_BUS:-} ]]; then
  command -v dbus-run-session >/dev/null || fail "dbus-run-session is missing (package dbus)"
  not_started=$(mktemp)
  start env GUSTRULE_DESKTOP_SESSION_BUS="$not_started" \
    dbus-run-session -- bash "$0" "${arguments[@]}" 3>&2 2>"$log"
  set +e
  wait $!
  status=$?
  set -e
  if [[ -e $not_started ]]; then
    rm -f "$not_started"
    cat "$log" >&2
    fail "dbus-run-session did not start a session bus"
  fi
  exit "$status"
elif [[ -n ${GUSTRULE_DESKTOP_SESSION_BUS:-} ]]; then
  exec 2>&3 3>&-
  rm -f "$GUSTRULE_DESKTOP_SESSION_BUS"
  unset GUSTRULE_DESKTOP_SESSION_BUS
fi

# Waits up to 10 s for CHECK to succeed while PID lives; fails with WHAT and the helpers'
# messages otherwise.
wait_for() { # PID WHAT CHECK...
  local pid=$1 what=$2 tries
  shift 2
  for tries in {1..100}; do
    "$@" && return 0
    alive "$pid" || { cat "$log" >&2; fail "$what: it exited"; }
    sleep 0.1
  done
  cat "$log" >&2
  fail "$what: no answer after 10 s"
}

# The server is ours when it answers and its lock file names our Xvfb; another server that won
# the same display number in a race would answer too.
ours() { # NUMBER PID
  xdpyinfo -display ":$1" >/dev/null 2>&1 &&
    [[ $(tr -d ' \n' <"/tmp/.X$1-lock" 2>/dev/null) == "$2" ]]
}

# A display is free when it has neither a lock file nor a socket. Xvfb refuses a display whose
# lock another server took in the meantime; then the next free one is tried.
display=""
races=0
for number in {20..299}; do
  [[ ! -e /tmp/.X$number-lock && ! -e /tmp/.X11-unix/X$number ]] || continue
  # -noreset: by default the server resets when its last client leaves, and a client that
  # connects during the reset (openbox right after the readiness check) is refused.
  start Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp -noreset >"$log" 2>&1
  xvfb=$!
  for tries in {1..100}; do
    if ours "$number" "$xvfb"; then
      display=:$number
      break
    fi
    alive "$xvfb" || break
    sleep 0.1
  done
  [[ -z $display ]] || break
  if alive "$xvfb"; then
    cat "$log" >&2
    fail "Xvfb :$number did not answer within 10 s"
  fi
  if grep -q 'already active' "$log" && ((++races < 10)); then
    continue
  fi
  cat "$log" >&2
  fail "Xvfb :$number did not start"
done
[[ -n $display ]] || fail "no free display number between :20 and :299"
export DISPLAY=$display

if [[ -n $dpi ]]; then
  command -v xrdb >/dev/null || fail "xrdb is missing (tools/setup-debian.sh desktop)"
  echo "Xft.dpi: $dpi" | xrdb -nocpp -merge 2>>"$log" || { cat "$log" >&2; fail "xrdb failed"; }
fi

if [[ $wm == yes ]]; then
  command -v openbox >/dev/null || fail "openbox is missing (tools/setup-debian.sh desktop)"
  start openbox --sm-disable >>"$log" 2>&1
  # A window manager that follows the freedesktop conventions names its check window on the root.
  managing() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_for $! "openbox did not take the screen $display" managing
fi

if [[ $a11y == yes ]]; then
  launcher=/usr/libexec/at-spi-bus-launcher
  [[ -x $launcher ]] || fail "$launcher is missing (package at-spi2-core)"
  start "$launcher" --launch-immediately >>"$log" 2>&1
  # Asked without starting it: a call to org.a11y.Bus itself would make the session bus start a
  # second launcher of its own.
  bus_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
  }
  wait_for $! "the accessibility bus did not start" bus_up
fi

set +e
start "$@"
wait $!
status=$?
set -e
exit "$status"
