# Debian packages the build needs; sourced by the other scripts.
CARD_PACKAGES=(
  cmake ninja-build pkg-config g++ ccache
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev
  fonts-liberation2
  libplist-dev libiec16022-dev libzxing-dev
  libminizip-dev zlib1g-dev libpugixml-dev python3-openpyxl
  poppler-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  libzint-dev libqrencode-dev libvips-dev
)

# Installs whatever of CARD_PACKAGES is missing.
card_install_packages() {
  local missing=()
  for pkg in "${CARD_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
