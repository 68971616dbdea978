#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Only what is missing is
# installed; a machine that has everything is left alone. Needs root (apt-get).
set -euo pipefail

groups="${*:-base}"
pkgs=()
archs=() # foreign architectures whose libraries a group installs (NAME:ARCH)
for g in $groups; do
  case "$g" in
    base) pkgs+=(build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
                 libsndfile1-dev libstb-dev libx11-dev libxcb1-dev libxext-dev libxtst-dev libxres-dev
                 lv2-dev) ;;
    lv2-test) pkgs+=(sordi lilv-utils liblilv-dev) ;;
    gui-test) pkgs+=(xvfb x11-utils x11-apps x11-xserver-utils xdotool imagemagick) ;;
    fuzz) pkgs+=(clang libclang-rt-14-dev) ;;
    windows) pkgs+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest) ;;
    hosts) pkgs+=(ardour) ;;
    # The aarch64 cross build (scripts/build-aarch64.sh): the cross compiler with its C and C++
    # runtimes, qemu to run its programs, GoogleTest's source, and the arm64 editions of the
    # libraries the bundle, the editor and the tests link.
    aarch64) archs+=(arm64)
             pkgs+=(crossbuild-essential-arm64 g++-aarch64-linux-gnu libc6-dev-arm64-cross
                    qemu-user googletest libx11-dev:arm64 libxcb1-dev:arm64 libxtst-dev:arm64
                    libxres-dev:arm64 libsndfile1-dev:arm64 lv2-dev:arm64 libstb-dev:arm64) ;;
    art) pkgs+=(python3-pil python3-numpy fonts-dejavu-core fonts-freefont-ttf fonts-league-spartan) ;;
    *) echo "install-deps: unknown group '$g'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run as root or install them" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
for a in "${archs[@]}"; do
  dpkg --print-foreign-architectures | grep -qx "$a" || dpkg --add-architecture "$a"
done
apt-get -o DPkg::Lock::Timeout=300 update -qq
apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends --no-remove "${missing[@]}" >/dev/null
