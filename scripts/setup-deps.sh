#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need,
# and builds libpng for the Windows cross build. Safe to rerun.
set -euo pipefail

root_dir="$(cd "$(dirname "$0")/.." && pwd)"
deps_dir="${THUDWERK_DEPS_DIR:-$root_dir/build/deps}"

packages=(
  cmake ninja-build g++ pkg-config
  libpng-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev fonts-liberation2
  juce-modules-source-data
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libsndfile1-dev libcli11-dev
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64 xvfb xauth
  libx11-dev libxext-dev libxtst-dev
  lv2-dev serdi sordi lilv-utils liblilv-dev
  nsis unzip
  clang libclang-rt-dev
  dpkg-dev
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

# libpng for Windows is built from Debian's own source package: the source
# entry is derived from the machine's binary entries, never hard-coded.
ensure_source_entries() {
  local target=/etc/apt/sources.list.d/thudwerk-src.sources
  [ -f "$target" ] && return 0
  local found=0
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      | "${sudo_cmd[@]}" tee "$target" >/dev/null
    found=1
  fi
  if [ "$found" -eq 0 ] && [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' \
      | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/thudwerk-src.list >/dev/null
  fi
  return 1
}

need_update=0
ensure_source_entries || need_update=1
if [ "${#missing[@]}" -gt 0 ] || [ "$need_update" -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
fi
if [ "${#missing[@]}" -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

"$root_dir/scripts/build-libpng-mingw.sh" "$deps_dir"
