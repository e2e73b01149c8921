#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the programs need, when missing.
# Idempotent: prints what it installs and does nothing when everything is there.
set -euo pipefail

packages=(
  # toolchain and test tools
  build-essential cmake ninja-build pkg-config ccache clang clang-format libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # foundation and the show package
  zlib1g-dev unicode-data
  libmuparser-dev   # independent evaluator the expression tests and benchmark compare against
  libmpg123-dev libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libsdl2-dev sox ffmpeg mpg123  # audio decoding, output, and the sounds its tests generate
  libswscale-dev  # video export: colour conversion to YUV 4:2:0 (the encoders libx264, libx265, libvpx, libsvtav1 and libopus come with libavcodec)
  libjpeg62-turbo-dev libpng-dev liblcms2-dev imagemagick libjpeg-turbo-progs icc-profiles-free colord-data  # pictures: decoders, colour management, and the independent tools their tests compare with
  libsdl2-dev libepoxy-dev libegl-dev libgl1-mesa-dri xvfb xauth xdotool  # 3D device: OpenGL through libepoxy, EGL headless contexts, window tests under Xvfb
  dbus-daemon  # a private bus on which a test stands in for colord (the screen's profile under Wayland)
  scdoc librsvg2-bin dpkg-dev  # manual pages and PNG icons made at build time; the Debian package (dpkg-shlibdeps)
  desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db lintian bubblewrap  # checks of the installed desktop files, the package and the sandboxed thumbnailer
  libfreetype-dev libharfbuzz-dev libfontconfig-dev fonts-liberation2 fonts-dejavu-core libimage-exiftool-perl  # text: glyph outlines, shaping, font lookup, fonts, and exiftool for metadata tests
  libgtk-3-dev poppler-utils  # dialogs, printing (GTK's file printer makes the PDFs) and pdftoppm to check them
  libasound2-dev  # ALSA's own messages go to the log, not the terminal
  sway grim wtype libwayland-dev  # window tests under a headless Wayland compositor: screenshots, keys, a virtual pointer
  libglib2.0-bin systemd xdg-utils  # media controls and screen-saver tests on a session bus of their own (gdbus, busctl); file types
)

missing=()
for pkg in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
    echo "install-deps: not root and no sudo; please install: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
