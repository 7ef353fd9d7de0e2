# Sourced by run and test: installs the Debian packages the build needs.
packages=(cmake g++ ninja-build ccache qt6-base-dev qt6-webengine-dev qt6-multimedia-dev
          libgl-dev xvfb xauth fonts-noto-cjk qt6-translations-l10n libbenchmark-dev
          g++-mingw-w64-x86-64 desktop-file-utils clang-format wine64 locales dpkg-dev file
          lintian appstream at-spi2-core python3-pyatspi qt6-gtk-platformtheme
          weston xwayland qt6-wayland xdotool dbus-daemon)

install_missing_packages() {
  local missing=()
  for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
    "${missing[@]}"
}
