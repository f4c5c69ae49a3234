# Shared by the scripts: where the project is, and installing what a fresh Debian 12 lacks.
# shellcheck shell=bash

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

say() { printf '== %s\n' "$*"; }
die() { printf '%s: %s\n' "$(basename "$0")" "$*" >&2; exit 1; }

# Debian packages each build needs; names with :i386 need that architecture. Both Wines are
# installed: the 32-bit one runs the shipped program where the kernel can, wine64 runs the
# 64-bit build everywhere. The Mesa drivers give each its Direct3D 9.
packages_build="cmake ninja-build make g++ googletest python3 python3-pefile mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64"
packages_wine="wine wine32:i386 wine64 xvfb xauth libgl1-mesa-dri:i386 libglx-mesa0:i386 libgl1:i386
  libgl1-mesa-dri libglx-mesa0 xdotool imagemagick"
packages_fuzz="clang libclang-rt-14-dev"
packages_bench="libbenchmark-dev"

installed() {
  # A name without an architecture means the machine's own: the same name may be installed
  # for i386 as well, and that one does not count.
  local name=${1%%:*} arch=${1#*:}
  [ "$arch" != "$1" ] || arch=$(dpkg --print-architecture)
  dpkg-query -W -f='${Status} ${Architecture}\n' "$name" 2>/dev/null | grep -qxE "install ok installed ($arch|all)"
}

# ensure_packages NAME...: installs those of the packages that are missing, and nothing else.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  command -v apt-get >/dev/null || die "missing packages (${missing[*]}) and no apt-get: install them by hand"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || die "missing packages (${missing[*]}): run as root or install sudo"
    sudo=(sudo)
  fi
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    say "adding the i386 architecture for 32-bit Wine"
    "${sudo[@]}" dpkg --add-architecture i386 || die "could not add the i386 architecture"
  fi
  say "installing ${missing[*]}"
  # A mirror caught mid-sync fails one index and serves the rest: the lists it did give may do.
  local updated=true
  "${sudo[@]}" apt-get update -qq || updated=false
  $updated || say "apt-get update could not fetch every index; installing from the lists it has"
  local install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq)
  "${sudo[@]}" "${install[@]}" "${missing[@]}" >/dev/null && return 0
  $updated && die "could not install: ${missing[*]}"
  # Without one architecture's security index, packages installed for both architectures cannot
  # agree on a version; the release's own versions exist for both.
  local release
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$release" ] || die "could not install: ${missing[*]}"
  say "retrying with the versions of $release itself"
  "${sudo[@]}" "${install[@]}" -t "$release" "${missing[@]}" >/dev/null || die "could not install: ${missing[*]}"
}

# Whether this machine runs 32-bit programs: some kernels lack IA-32 emulation, and there the
# 32-bit loader fails to start ("Exec format error") although it is installed.
runs_32bit_programs() {
  local version
  version=$(/usr/lib/wine/wine --version 2>/dev/null) && [ -n "$version" ]
}

# The Windows build that Wine can show here: the shipped 32-bit one where it runs, else the
# 64-bit one. Sets preset, arch and which.
choose_windows_build() {
  if runs_32bit_programs; then
    preset=windows arch=win32 which="the 32-bit launcher (i686), the program that ships"
  else
    preset=windows64 arch=win64 which="the 64-bit launcher (x86_64): this machine runs no 32-bit programs"
  fi
}
