#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need, and nothing else.
# Runs as root or through sudo; does nothing when everything is already there.
set -euo pipefail

packages=(
  # toolchain
  cmake ninja-build g++ pkg-config ccache
  # widgets, tray, dialogs, settings, processes, images
  qt6-base-dev
  # every audio file format we read or write (WAV, FLAC, Ogg Vorbis, MP3)
  libsndfile1-dev
  # sound output, recording, device lists, system volume
  libpulse-dev
  # FFT for synthesis and measurements
  libfftw3-dev
  # tests and benchmarks
  libgtest-dev libbenchmark-dev
  # test services: a private sound server, an X display with a tray host, a font for offscreen text
  pulseaudio pulseaudio-utils xvfb xauth trayer fonts-dejavu-core
  # the same tests and benches against PipeWire's pulse server, started privately like pulseaudio
  pipewire pipewire-pulse wireplumber
  # a private session bus (dbus-daemon --session) for the tests of the media keys interface
  dbus
  # the two-process test looks at the player's windows on the private X server
  libxcb1-dev
  # make deb: CPack's DEB generator runs dpkg-shlibdeps (dpkg-dev) and needs file; lintian checks
  # the package
  dpkg-dev file lintian
  # checks of what is installed: the software-centre metadata (appstreamcli), the menu entries
  # (desktop-file-validate), the preset file type (update-mime-database, xdg-mime, xdg-open)
  appstream desktop-file-utils shared-mime-info xdg-utils
  # the manual pages are compressed at build time and checked with man
  gzip man-db
  # screenshots of the windows for the software-centre metadata (scripts/screenshots.sh)
  xdotool imagemagick x11-utils
  # reference resamplers that bench_resamplers measures the mixer's kernel against (bench only)
  libsoxr-dev libspeexdsp-dev
  # translations: lupdate and lrelease build the .qm files; Qt's own catalogues translate its dialogs
  qt6-l10n-tools qt6-translations-l10n
  # the accessibility bus and its Python client, to read the programs as a screen reader does
  at-spi2-core python3-pyatspi
  # the tinnitus profile's plots: Qt Charts (its CMake package needs Qt OpenGL's development files)
  qt6-charts-dev libqt6opengl6-dev
  # the diary's store: Qt SQL's SQLite driver
  libqt6sql6-sqlite
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
# Another apt (the desktop's updater, an install in another terminal) may hold the package
# manager's locks: wait for it, up to a quarter of an hour, rather than fail at once. apt waits
# for dpkg's lock itself; the lock of the package lists it does not wait for, so an update that
# finds it held is tried again.
lock_wait=900
deadline=$((SECONDS + lock_wait))
told=
while ! output=$("${sudo_cmd[@]}" env LC_ALL=C apt-get update -qq 2>&1); do
  if ! grep -q "Could not get lock" <<<"$output" || [ "$SECONDS" -ge "$deadline" ]; then
    printf '%s\n' "$output" >&2
    exit 1
  fi
  if [ -z "$told" ]; then
    echo "The package lists are locked by another package manager ($(grep -o 'process [^.]*' <<<"$output" | head -n1)): waiting for it to finish"
    told=1
  fi
  sleep 2
done
[ -z "$output" ] || printf '%s\n' "$output"
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout="$lock_wait" install -y -qq --no-install-recommends "${missing[@]}"
