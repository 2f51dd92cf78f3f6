# Shared by the two set-up commands: installs what is missing and builds.
# Sourced, not run.
set -euo pipefail

ZEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZEL_BUILD="${ZEL_BUILD:-$ZEL_ROOT/build}"

ZEL_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev
  libfreetype-dev libfontconfig-dev fonts-wine fonts-dejavu-core fonts-wqy-microhei
  xvfb xauth
  clang libclang-rt-14-dev
)

zel_install_missing() {
  local missing=()
  local p
  for p in "${ZEL_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

zel_build() {
  if [ ! -f "$ZEL_BUILD/build.ninja" ]; then
    cmake -S "$ZEL_ROOT" -B "$ZEL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEL_WERROR=ON
  fi
  cmake --build "$ZEL_BUILD" -- "$@"
}
