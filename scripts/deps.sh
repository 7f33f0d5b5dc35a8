# Installs, with apt-get, whatever the build, the program and the tests need and the machine lacks.
PRX5M_PACKAGES=(
  cmake g++ make
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev libfontconfig-dev libxlsxwriter-dev libzip-dev pkg-config
  fonts-ipaexfont-gothic fonts-ipaexfont-mincho
  qt6-translations-l10n
  poppler-utils xvfb xauth x11-utils unzip python3-ezdxf
  shared-mime-info desktop-file-utils
)

ensure_deps() {
  local missing=()
  local p
  for p in "${PRX5M_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
