#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev
  libsqlite3-dev libxlsxwriter-dev libzip-dev libpugixml-dev
  libgtest-dev
  poppler-utils   # pdftotext: the tests read the printed reports back
  dpkg-dev file   # cpack -G DEB: dpkg-shlibdeps computes the package's dependencies
  # An X server, a window manager and the X tools for the tests of real windows
  # (xwininfo, xprop).
  xvfb xauth openbox xdotool x11-utils
  # The package's checks: Debian's own (lintian), the AppStream metainfo, the
  # menu entries, and opening a file through them as a file manager does.
  lintian appstream desktop-file-utils libglib2.0-bin shared-mime-info
)

# The fuzz run of test.sh: clang with its runtime (libFuzzer and the sanitizers).
if [ -n "${CI:-}" ] || [ -n "${ZARV_FUZZ_SECONDS:-}" ]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
