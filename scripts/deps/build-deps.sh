# shellcheck shell=bash
# Recipe of the static MinGW dependency prefix, sourced by scripts/setup.sh
# (which provides step and run_logged). Every file in this folder is part of the
# prefix's hash: changing one rebuilds the prefix. TARVIO_DEPS_ARCH chooses the
# target: i686 (the product's, the default) or x86_64 (the Windows tests' where
# the machine cannot run 32-bit programs).

DEPS_ARCH=${TARVIO_DEPS_ARCH:-i686}
case $DEPS_ARCH in
  i686 | x86_64) ;;
  *) echo "[setup] unknown dependency architecture '$DEPS_ARCH' (i686 or x86_64)" >&2; return 1 ;;
esac
DEPS_HOST=$DEPS_ARCH-w64-mingw32
# Debian spells the architecture x86-64 in the MinGW package names.
DEPS_PACKAGE_ARCH=${DEPS_ARCH/_/-}
DEPS_SYSROOT=/usr/$DEPS_HOST
# The product starts on Windows 7: without these MinGW-w64 assumes Windows 10, and a library may
# then import a function that Windows 7 lacks (OpenEXR takes CreateFile2 from Windows 8 on), which
# keeps the program from loading at all there.
DEPS_WINVER_FLAGS="-D_WIN32_WINNT=0x0601 -DWINVER=0x0601"
DEPS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Debian source packages, in build order.
DEPS_SOURCES=(libpng1.6 libjpeg-turbo tiff imath openexr wxwidgets3.2)
# Binary packages whose contents end up in, or shape, the prefix.
DEPS_TOOL_PACKAGES=(gcc-mingw-w64-$DEPS_PACKAGE_ARCH-posix g++-mingw-w64-$DEPS_PACKAGE_ARCH-posix
  binutils-mingw-w64-$DEPS_PACKAGE_ARCH mingw-w64-$DEPS_PACKAGE_ARCH-dev libz-mingw-w64-dev googletest
  cmake ninja-build)

# "name version" for every version of each source package in the apt lists.
deps_source_versions() {
  apt-cache showsrc --only-source "${DEPS_SOURCES[@]}" 2>/dev/null |
    awk '/^Package:/ { p = $2 } /^Version:/ { print p, $2 }' | sort -u
}

# Everything the prefix depends on; offline and fast, so it can run on every call.
deps_fingerprint() {
  echo "target $DEPS_HOST"
  (cd "$DEPS_DIR" && sha256sum -- *)
  "$DEPS_HOST-gcc-posix" --version | head -n 1
  "$DEPS_HOST-g++-posix" --version | head -n 1
  dpkg-query -W -f='${Package} ${Version}\n' "${DEPS_TOOL_PACKAGES[@]}"
  deps_source_versions
}

# Newest first. A mirror may index a security update whose source files it does
# not serve, so older versions are the fallback; the one used is recorded.
deps_fetch() {
  local name v dsc
  mkdir -p "$DEPS_DOWNLOADS" "$DEPS_WORK/src"
  for name in "${DEPS_SOURCES[@]}"; do
    dsc=
    for v in $(deps_source_versions | awk -v p="$name" '$1 == p { print $2 }' | sort -rV); do
      if (cd "$DEPS_DOWNLOADS" && apt-get source --download-only "$name=$v") >>"$LOG_DIR/fetch.log" 2>&1; then
        dsc=$DEPS_DOWNLOADS/${name}_${v#*:}.dsc
        break
      fi
      echo "[setup] $name $v could not be fetched, trying an older version" >&2
    done
    [[ -n $dsc ]] || { echo "[setup] no version of $name could be fetched" >&2; return 1; }
    run_logged fetch dpkg-source --no-check -x "$dsc" "$DEPS_WORK/src/$name"
    echo "$name $v" >>"$DEPS_WORK/versions.txt"
  done
}

# configure + build + install of a CMake project into the prefix.
deps_cmake() {
  local name=$1 src=$2 bld=$DEPS_WORK/build/$1
  shift 2
  run_logged "$name" cmake -S "$src" -B "$bld" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$DEPS_DIR/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="$DEPS_WINVER_FLAGS $DEPS_PATH_MAP_FLAGS" \
    -DCMAKE_CXX_FLAGS="$DEPS_WINVER_FLAGS $DEPS_PATH_MAP_FLAGS" \
    -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_INSTALL_PREFIX="$DEPS_PREFIX" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
    -DZLIB_LIBRARY="$DEPS_SYSROOT/lib/libz.a" -DZLIB_INCLUDE_DIR="$DEPS_SYSROOT/include" \
    "$@"
  run_logged "$name" cmake --build "$bld" -j "$(nproc)"
  run_logged "$name" cmake --install "$bld"
  # Some projects resolve relative install dirs against the current directory.
  if grep -v "^$DEPS_PREFIX/" "$bld/install_manifest.txt"; then
    echo "[setup] $name installed files outside $DEPS_PREFIX (listed above)" >&2
    return 1
  fi
}

deps_build_wx() {
  local src=$DEPS_WORK/src/wxwidgets3.2 bld=$DEPS_WORK/build/wxwidgets3.2
  mkdir -p "$bld"
  # Explicit tools: the unsuffixed cross compilers are the win32-threads ones.
  # configure ignores a native pkg-config when cross-compiling and probes with
  # -L/-I instead.
  (cd "$bld" && run_logged wxwidgets3.2 "$src/configure" \
    --build="$(dpkg-architecture -qDEB_BUILD_GNU_TYPE)" --host="$DEPS_HOST" \
    --prefix="$DEPS_PREFIX" \
    CC="$DEPS_HOST-gcc-posix" CXX="$DEPS_HOST-g++-posix" \
    AR="$DEPS_HOST-ar" RANLIB="$DEPS_HOST-ranlib" WINDRES="$DEPS_HOST-windres" \
    CPPFLAGS="-I$DEPS_PREFIX/include $DEPS_WINVER_FLAGS" LDFLAGS="-L$DEPS_PREFIX/lib" \
    CFLAGS="-O2 $DEPS_PATH_MAP_FLAGS" CXXFLAGS="-O2 $DEPS_PATH_MAP_FLAGS" \
    --with-msw --disable-shared --enable-unicode --enable-pch --without-subdirs \
    --with-zlib=sys --with-libpng=sys --with-libjpeg=sys --with-libtiff=sys \
    --with-regex=builtin --without-expat --without-opengl --without-libcurl \
    --without-liblzma --without-libjbig \
    --disable-html --disable-xrc --disable-aui --disable-propgrid --disable-ribbon \
    --disable-richtext --disable-stc --disable-mediactrl --disable-webview)
  # wxGetInstallPrefix() answers configure's prefix as a string of the library: named as the
  # file-prefix map names it.
  local setup_h
  setup_h=$(echo "$bld"/lib/wx/include/*/wx/setup.h)
  sed -i "s|^#define wxINSTALL_PREFIX .*|#define wxINSTALL_PREFIX \"$DEPS_MAPPED_PREFIX\"|" "$setup_h"
  grep -qx "#define wxINSTALL_PREFIX \"$DEPS_MAPPED_PREFIX\"" "$setup_h" ||
    { echo "[setup] wxINSTALL_PREFIX not found in $setup_h" >&2; return 1; }
  run_logged wxwidgets3.2 make -C "$bld" -j "$(nproc)"
  run_logged wxwidgets3.2 make -C "$bld" install
}

# How the compiled code names the prefix (see deps_build).
DEPS_MAPPED_PREFIX=/tarvio-deps/prefix

# Builds into $1 (which must be empty), using $2 as scratch space and $3 as the
# download cache.
deps_build() {
  DEPS_PREFIX=$1 DEPS_WORK=$2 DEPS_DOWNLOADS=$3
  # The libraries' source file names (wxWidgets' assertions) end up in every program linked with
  # them: name them by fixed folders rather than by this machine's cache folder, which is someone's
  # home folder and a random name.
  DEPS_PATH_MAP_FLAGS="-ffile-prefix-map=$DEPS_WORK=/tarvio-deps/work -ffile-prefix-map=$DEPS_PREFIX=$DEPS_MAPPED_PREFIX"
  # Only the prefix's and the MinGW sysroot's .pc files: never the build host's.
  export TARVIO_DEPS_PREFIX=$DEPS_PREFIX TARVIO_DEPS_HOST=$DEPS_HOST
  export PKG_CONFIG_LIBDIR=$DEPS_PREFIX/lib/pkgconfig:$DEPS_SYSROOT/lib/pkgconfig
  unset PKG_CONFIG_PATH PKG_CONFIG_SYSROOT_DIR
  local s=$DEPS_WORK/src
  cd "$DEPS_WORK"

  step "fetch and unpack sources" deps_fetch
  step "build libpng1.6" deps_cmake libpng1.6 "$s/libpng1.6" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF
  step "build libjpeg-turbo" deps_cmake libjpeg-turbo "$s/libjpeg-turbo" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
  step "build tiff" deps_cmake tiff "$s/tiff" \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF \
    -Dzlib=ON -Djpeg=ON -Djpeg12=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF \
    -Dlerc=OFF -Dlibdeflate=OFF -Dtiff-opengl=OFF -Dsphinx=OFF
  step "build imath" deps_cmake imath "$s/imath" -DPYTHON=OFF -DDOCS=OFF
  step "build openexr" deps_cmake openexr "$s/openexr" \
    -DOPENEXR_BUILD_TOOLS=OFF -DOPENEXR_INSTALL_TOOLS=OFF -DOPENEXR_INSTALL_EXAMPLES=OFF \
    -DDOCS=OFF
  step "build googletest" deps_cmake googletest /usr/src/googletest \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
  step "build wxwidgets3.2" deps_build_wx
  run_logged wxwidgets3.2 "$DEPS_PREFIX/bin/wx-config" --static --libs core,base,net

  mkdir -p "$DEPS_PREFIX/share/tarvio-deps"
  cp "$DEPS_WORK/versions.txt" "$DEPS_PREFIX/share/tarvio-deps/source-versions.txt"
}
