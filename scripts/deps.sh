# Sourced by scripts/run and scripts/test: installs the Debian 12 packages
# the build and the tests need, when any is missing.
TARMISK_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev libxlsxwriter-dev
  fonts-dejavu-core
  poppler-utils unzip xvfb xauth
)

tarmisk_install_deps() {
  local missing=()
  local p
  for p in "${TARMISK_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

tarmisk_build() {
  local build_dir=$1
  cmake -S "$TARMISK_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build_dir" -j "$(nproc)"
}
