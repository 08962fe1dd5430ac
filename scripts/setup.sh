#!/usr/bin/env bash
# Installs what the build, the tests and the demo need from Debian's packages, when missing.
# Run as root on Debian 12. Nothing else is downloaded.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  # The style checks of the test command (scripts/check-style.sh): clang-format, and clang-tidy
  # with its parallel driver run-clang-tidy (in the clang-tidy package), which runs Python.
  clang-format clang-tidy python3
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libsqlite3-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev googletest
  xvfb xdotool x11-utils imagemagick xauth libx11-6
  fonts-arphic-uming
  python3 util-linux procps
  # The Debian package: dpkg-shlibdeps for its dependencies, the desktop entry's validator and
  # launcher (gio), and xdg-utils, which the installed menu needs to open web pages.
  dpkg-dev desktop-file-utils libglib2.0-bin xdg-utils
  # Qt's own texts in Traditional Chinese; the sound theme's bell where the window system has
  # none (the headers only: the library is loaded at the first beep).
  qt6-translations-l10n libcanberra-dev libcanberra0 sound-theme-freedesktop
  # The screen-reader test: a private D-Bus session, the AT-SPI registry and its Python client.
  dbus dbus-bin dbus-daemon at-spi2-core python3-pyatspi
  # Debian's own checks of the package: lintian, hardening-check (devscripts), the AppStream
  # validator, the manual pages' formatter and reader, and bash's completion framework.
  lintian devscripts appstream groff-base man-db bash-completion
  # Suites whose other programs are Windows programs: Wine (64-bit; 32-bit programs need wine32
  # from the i386 architecture as well), the MinGW-w64 compiler for the Windows programs built
  # here, and the locales that give Windows programs code page 950 (scripts/test.sh generates
  # zh_TW.UTF-8).
  wine wine64 g++-mingw-w64-x86-64 locales
)

# Further packages a caller needs (scripts/fuzz.sh asks for clang).
read -r -a extra <<<"${TEVO_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${1:-}" = "--update" ] || [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: these Debian packages are missing: ${missing[*]}" >&2
    echo "setup: run this script as root (or with sudo) to install them." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  # Other installations may hold dpkg's lock for a while: wait for it rather than fail.
  apt-get -o DPkg::Lock::Timeout=600 update
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
  fi
fi
