#!/usr/bin/env bash
# Installs the Debian packages the saver needs to build, run and test.
# Needs root (apt-get); as another user it says what to install and stops.
# Usage: scripts/install-deps.sh [package | package-test | windows-test | fuzz | format]
#   package:      also what building the Debian package needs (cpack finds
#                 the programs' library dependencies with file);
#   package-test: also what scripts/package-test.sh needs (pgrep, lintian,
#                 the XScreenSaver daemon, desktop-file-validate, and MATE's
#                 screen saver with a session bus and gsettings);
#   windows-test: also what tests/windows/wine-test.sh needs besides what
#                 scripts/build-windows-deps.sh installs (xdotool);
#   fuzz:         also clang and its libFuzzer runtime (scripts/fuzz.sh);
#   format:       also clang-format (scripts/check-format.sh).
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libtinyxml-dev libjpeg62-turbo-dev libglew-dev freeglut3-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  libx11-dev libxext-dev libxtst-dev libxfixes-dev zlib1g-dev
  googletest libgtest-dev
  xvfb xauth x11-utils
)
case "${1:-}" in
  "") ;;
  package) PACKAGES+=(file) ;;
  package-test)
    PACKAGES+=(file procps lintian xscreensaver desktop-file-utils mate-screensaver dbus-daemon
               libglib2.0-bin) ;;
  windows-test) PACKAGES+=(xdotool) ;;
  fuzz) PACKAGES+=(clang libclang-rt-14-dev) ;;
  format) PACKAGES+=(clang-format) ;;
  *) echo "usage: $0 [package | package-test | windows-test | fuzz | format]" >&2; exit 2 ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "These packages are missing: ${missing[*]}" >&2
  echo "Install them as root:  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
