#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the player need, when missing.
# Idempotent and quick when everything is present; uses sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev
  librtmidi-dev libasound2-dev libjack-jackd2-dev jackd2
  libfluidsynth-dev timgm6mb-soundfont
  libarchive-dev unifont libsdl2-dev zlib1g-dev
  liblhasa-dev
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xauth
  xdg-utils desktop-file-utils shared-mime-info dbus-daemon libglib2.0-bin dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# jackd2 asks whether to enable real-time priority; answer for it.
echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections 2>/dev/null || true
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
