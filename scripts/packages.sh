# Debian packages; sourced by the other scripts.
# What building and running the program need.
CARD_BUILD_PACKAGES=(
  cmake ninja-build pkg-config g++ ccache
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev
  fonts-liberation2
  libplist-dev libiec16022-dev
  libzip-dev zlib1g-dev libpugixml-dev
)
# What the tests and benchmarks need besides: the test framework, independent decoders and readers
# that check the program's output, and the libraries the benchmarks compare against.
CARD_TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev
  libzxing-dev zxing-cpp-tools zbar-tools python3-openpyxl python3-aiosmtpd poppler-utils zip
  libzint-dev libqrencode-dev libvips-dev
)

# Installs whichever of the named packages are missing.
card_install_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
