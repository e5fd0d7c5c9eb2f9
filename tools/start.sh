#!/usr/bin/env bash
# Installs what is missing, builds Gustrule in Release (tools/build-release.sh) and starts the
# calculator window.
set -euo pipefail
cd "$(dirname "$0")/.."
# The window needs a graphical session; without one Qt would abort, and only after the whole
# build. A platform chosen by hand (QT_QPA_PLATFORM=offscreen, say) is the user's own choice.
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
  cat >&2 <<'EOF'
start.sh: no graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set.
Gustrule is a window program: run this command in a terminal of your desktop session.
On a machine without a desktop it can run in a virtual X server (Xvfb), where the window is
drawn in memory only, for screenshots and tests (Ctrl+C ends it):
  bash tools/setup-debian.sh desktop
  tools/desktop-session.sh --wm -- bash tools/start.sh
EOF
  exit 1
fi
bash tools/build-release.sh build/release
exec build/release/ui/gustrule
