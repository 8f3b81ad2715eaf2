#!/usr/bin/env bash
# Builds a static libpng for x86_64-w64-mingw32 from Debian's source package
# into $1/mingw (include/ and lib/). Skips the work when already built.
set -euo pipefail

deps_dir="$1"
prefix="$deps_dir/mingw"
if [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ]; then
  exit 0
fi

work="$deps_dir/libpng-src"
rm -rf "$work"
mkdir -p "$work" "$prefix"
# Mirrors do not always carry every version the index lists: take the
# newest that downloads.
fetched=0
for version in $(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -r -V -u); do
  rm -rf "${work:?}"/*
  if (cd "$work" && apt-get source --download-only -q "libpng1.6=$version" >/dev/null 2>&1); then
    fetched=1
    break
  fi
done
if [ "$fetched" -ne 1 ]; then
  echo "could not download Debian's libpng1.6 source package" >&2
  exit 1
fi
(cd "$work" && dpkg-source -x --no-check ./*.dsc src >/dev/null)

cat >"$work/toolchain.cmake" <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TOOLCHAIN

cmake -S "$work/src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
  -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
cmake --build "$work/build" >/dev/null
cmake --install "$work/build" >/dev/null
rm -rf "$work"
