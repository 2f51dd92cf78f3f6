#!/usr/bin/env bash
# Installs what is missing, builds and starts Zel Designer. Arguments are handed
# to the designer (for example a project file to open).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
zel_install_missing
zel_build zeldesigner
exe="$ZEL_BUILD/app/zeldesigner"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the designer on a virtual X display (xvfb-run)."
  exec xvfb-run -a "$exe" "$@"
fi
exec "$exe" "$@"
